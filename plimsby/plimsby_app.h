#pragma once
#include "app.h"

class CPlimsbyApp : public framework::App {
public:
    CPlimsbyApp();

protected:
    bool InitInstance() override;
};
