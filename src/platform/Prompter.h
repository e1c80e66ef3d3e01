#pragma once

#include <QString>
#include <optional>

// Every question and message the program puts to the operator goes through this
// one interface, so a test can answer it and read exactly what was asked.
class Prompter {
public:
    enum class Icon { None, Information, Exclamation, Question, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;

    // A message box: title, text, icon and buttons; returns the button pressed.
    virtual Answer message(const QString& title, const QString& text, Icon icon,
                           Buttons buttons = Buttons::Ok) = 0;

    // An input box; no value when the operator cancels.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& defaultText = QString()) = 0;
};
