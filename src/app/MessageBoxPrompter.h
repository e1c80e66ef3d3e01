#pragma once

#include "platform/Prompter.h"

class QWidget;

// Asks the operator with Qt's message and input boxes.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& defaultText = QString()) override;

private:
    QWidget* owner_;
};
