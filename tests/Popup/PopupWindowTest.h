#pragma once

#include "Client/Popup/PopupWindow.h"
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Support/Gui/ModalScript.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace PopupTest {

// A pop-up for the typical job, with its settings and a custom-field server,
// in a private root.
class PopupWindowTest : public testing::Test {
protected:
    // Shows the pop-up for the job and works it through the steps.
    bool Show(std::vector<TestSupport::ModalScript::Step> steps)
    {
        TestSupport::ModalScript script(std::move(steps));
        return mPopup.showForJob(&mJob, &mServer, &mSettings, nullptr);
    }

    TestSupport::TempRoot mRoot;
    CVClientData::ClientSettings mSettings = TypicalSettings();
    FieldServer mServer;
    ClientJob mJob = TypicalJob();
    PopupWindow mPopup;
};

}  // namespace PopupTest
