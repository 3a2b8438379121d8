#pragma once
#include "app.h"

class CPlimsbyApp : public framework::App {
public:
    CPlimsbyApp();

protected:
    std::unique_ptr<framework::Dialog> CreateMainDialog() override;
};
