#pragma once
// The error report: a failed step is shown in one box, then the handler goes on.

#include <exception>
#include <set>
#include <string>

#include "platform/MessageBoxes.h"

namespace tamberlyn {

extern const char* const kSupportAddress;

// The report's text: description, location, label and where to send it.
std::string FormatErrorReport(const std::string& description, const std::string& form, const std::string& handler,
                              int label);

// Where a program's error reports go: its message boxes, and which reports are on screen
// now. A handler that fails again while its own report is open (the timer keeps ticking
// under a message box) adds no second box. The program's form holds the one it uses.
class ErrorReports {
public:
    explicit ErrorReports(MessageBoxes& boxes) : boxes_(boxes) {}
    ErrorReports(const ErrorReports&) = delete;
    ErrorReports& operator=(const ErrorReports&) = delete;

    // Shows the report of a failure at location (form.handler), unless one of that
    // location is open; a box that cannot be shown is let go.
    void show(const std::string& location, const std::string& text);

private:
    MessageBoxes& boxes_;
    std::set<std::string> open_;
};

class ErrorTrap {
public:
    ErrorTrap(ErrorReports& reports, std::string form, std::string handler);

    // Runs one labelled step; a failure is reported and the handler continues after it.
    template <class Step>
    void step(int label, Step&& body) {
        try {
            body();
        } catch (...) {
            report(label, std::current_exception());
        }
    }

    // Evaluates a labelled condition; a failure is reported and counts as true,
    // so the handler continues inside the condition's branch.
    template <class Condition>
    bool test(int label, Condition&& condition) {
        try {
            return static_cast<bool>(condition());
        } catch (...) {
            report(label, std::current_exception());
            return true;
        }
    }

    // One box per cause: a step that fails as an earlier one did (all the settings of one
    // unreadable file) is counted but not shown again.
    void report(int label, std::exception_ptr failure);

    // How many steps and conditions have failed so far.
    int failures() const { return failures_; }

private:
    ErrorReports& reports_;
    std::string form_;
    std::string handler_;
    int failures_ = 0;
    std::set<std::string> shown_;
};

}  // namespace tamberlyn
