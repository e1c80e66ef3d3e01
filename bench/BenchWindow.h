#pragma once

#include "app/FrmMainEvents.h"
#include "form/FrmMain.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <memory>

// A main window for a benchmark: the environment and clock of the process, nobody to
// answer a question (every message counts as "No"), and a process that never ends
// by the window's hand.
class BenchWindow {
public:
    BenchWindow() {
        FrmMainServices services;
        services.environment = &environment_;
        services.clock = &clock_;
        services.prompter = &prompter_;
        services.endProcess = [](int) {};
        form_ = std::make_unique<FrmMain>(services);
        WireFrmMain(*form_);
    }
    FrmMain& form() { return *form_; }

private:
    class NoPrompter : public Prompter {
    public:
        Answer message(const QString&, const QString&, Icon, Buttons) override {
            return Answer::No;
        }
        std::optional<QString> input(const QString&, const QString&, const QString&) override {
            return std::nullopt;
        }
    };

    Environment environment_;
    Clock clock_;
    NoPrompter prompter_;
    std::unique_ptr<FrmMain> form_;
};
