#pragma once
// The vault code's way to the user: its messages as the program's message
// boxes, and its event pumping through the program's message loop rules.
#include "vault/reporter.h"

namespace ui {

class MessageBoxReporter final : public vault::Reporter {
public:
    void show_message(std::string_view text) override;
    bool pump_events() override;
};

} // namespace ui
