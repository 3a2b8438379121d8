// A program whose set-up fails ends with exit code 1 without creating its dialog.
#include "app.h"

#include <gtest/gtest.h>

#include "dialog.h"

namespace {

class SetUpFails : public framework::App {
public:
    SetUpFails() : App(L"AppTest", 0) {}
    bool dialogCreated = false;

protected:
    bool InitInstance() override { return false; }
    std::unique_ptr<framework::Dialog> CreateMainDialog() override {
        dialogCreated = true;
        return nullptr;
    }
};

}  // namespace

TEST(App, SetUpThatFailsEndsTheProgramWithoutItsDialog) {
    SetUpFails app;
    EXPECT_EQ(app.Run(GetModuleHandleW(nullptr)), 1);
    EXPECT_FALSE(app.dialogCreated);
}
