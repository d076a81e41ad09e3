#pragma once
// A main window over fakes, driven through its handlers as a user would.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "RealTextCase.h"
#include "form/Appearance.h"
#include "form/Form1.h"
#include "form/TrayResidency.h"
#include "monitor/ScanCycle.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn::testing {

class FormTest : public ::testing::Test {
protected:
    // The window as the process creates it: handle first, then the load sequence.
    Form1& start() {
        form = std::make_unique<Form1>(fake.platform);
        form->window.setHandle(1);
        form->Form_Load();
        return *form;
    }

    std::string stored(const std::string& key) const { return fake.settings.get(key).value_or("(absent)"); }
    std::string storedList() const { return stored("Listview"); }
    std::vector<std::string> rows() const { return form->ListView1.rows(); }

    // The labels of the error reports shown so far, in order.
    std::vector<std::string> reportedLines() const {
        std::vector<std::string> lines;
        for (const auto& box : fake.messages.shown) {
            if (box.title != "Application Error") continue;
            const std::size_t at = box.text.find(" at line ");
            lines.push_back(box.text.substr(box.text.find("Form1."), at - box.text.find("Form1.")) + ":" +
                            box.text.substr(at + 9, 3));
        }
        return lines;
    }

    fakes::FakePlatform<RealTextCase> fake;
    std::unique_ptr<Form1> form;
};

}  // namespace tamberlyn::testing
