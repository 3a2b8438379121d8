#pragma once
#include "app.h"

class CSkarrowApp : public framework::App {
public:
    CSkarrowApp();

protected:
    bool InitInstance() override;
};
