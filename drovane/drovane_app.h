#pragma once
#include "app.h"

class CDrovaneApp : public framework::App {
public:
    CDrovaneApp();

protected:
    bool InitInstance() override;
    std::unique_ptr<framework::Dialog> CreateMainDialog() override;
};
