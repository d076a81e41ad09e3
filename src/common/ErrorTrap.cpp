#include "common/ErrorTrap.h"

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

}  // namespace

std::string FormatErrorReport(const std::string& description, const std::string& form, const std::string& handler,
                              int label) {
    return description + "\r\n" + "in Orvandel2021/08/31." + form + "." + handler + " " + "at line " +
           std::to_string(label) + "\r\r" + "Please email screenshot of this message to " + kSupportAddress;
}

void ErrorReports::show(const std::string& location, const std::string& text) {
    if (!open_.insert(location).second) return;
    try {
        boxes_.show(text, "Application Error", MessageButtons::Ok, MessageIcon::Exclamation);
    } catch (...) {
        // A report that cannot be shown must not take the handler down with it.
    }
    open_.erase(location);
}

ErrorTrap::ErrorTrap(ErrorReports& reports, std::string form, std::string handler)
    : reports_(reports), form_(std::move(form)), handler_(std::move(handler)) {}

void ErrorTrap::report(int label, std::exception_ptr failure) {
    ++failures_;
    const std::string description = describe(std::move(failure));
    if (!shown_.insert(description).second) return;
    reports_.show(form_ + "." + handler_, FormatErrorReport(description, form_, handler_, label));
}

}  // namespace tamberlyn
