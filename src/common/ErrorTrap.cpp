#include "common/ErrorTrap.h"

#include <set>
#include <utility>

namespace tamberlyn {

const char* const kSupportAddress = "support@quillmark.example";

namespace {

std::string describe(std::exception_ptr failure) {
    try {
        std::rethrow_exception(std::move(failure));
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

// Locations whose report is on screen now. A handler that fails again while its own
// report is open (the timer keeps ticking under a message box) adds no second box.
std::set<std::string>& openReports() {
    static std::set<std::string> open;
    return open;
}

}  // namespace

std::string FormatErrorReport(const std::string& description, const std::string& form, const std::string& handler,
                              int label) {
    return description + "\r\n" + "in Orvandel2021/08/31." + form + "." + handler + " " + "at line " +
           std::to_string(label) + "\r\r" + "Please email screenshot of this message to " + kSupportAddress;
}

ErrorTrap::ErrorTrap(MessageBoxes& boxes, std::string form, std::string handler)
    : boxes_(boxes), form_(std::move(form)), handler_(std::move(handler)) {}

void ErrorTrap::report(int label, std::exception_ptr failure) {
    ++failures_;
    const std::string description = describe(std::move(failure));
    if (!shown_.insert(description).second) return;
    const std::string location = form_ + "." + handler_;
    if (!openReports().insert(location).second) return;
    try {
        boxes_.show(FormatErrorReport(description, form_, handler_, label), "Application Error", MessageButtons::Ok,
                    MessageIcon::Exclamation);
    } catch (...) {
        // A report that cannot be shown must not take the handler down with it.
    }
    openReports().erase(location);
}

}  // namespace tamberlyn
