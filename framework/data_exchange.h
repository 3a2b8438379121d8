#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/controls.h"

namespace framework {

// Moves values between a dialog's controls and its members, in one direction
// per run: from the controls into the members when saving, else the other way.
// A value that a control cannot give (text that is no number) is refused: its
// member keeps its value, the other fields are still exchanged, and failed()
// reports it.
class DataExchange {
public:
    DataExchange(HWND dialog, bool saveAndValidate) : dialog_(dialog), saving_(saveAndValidate) {}

    bool saving() const { return saving_; }
    bool failed() const { return failed_; }

    // Check box state: 1 checked, 0 clear.
    void Check(int id, int32_t& value);
    // Edit text as a decimal number.
    void Text(int id, float& value);
    // Binds the control object to the dialog item once.
    void Control(int id, Window& control);

private:
    HWND dialog_;
    bool saving_;
    bool failed_ = false;
};

}  // namespace framework
