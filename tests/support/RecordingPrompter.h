#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QString>
#include <deque>
#include <ostream>

// A Prompter for tests: records every question exactly as it was put and answers
// from a script (Yes or OK when the script runs out); an input box answers from its
// own script, and with its default when that runs out.
class RecordingPrompter : public Prompter {
public:
    struct Asked {
        QString title;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;

        bool operator==(const Asked& other) const {
            return title == other.title && text == other.text && icon == other.icon &&
                   buttons == other.buttons;
        }
        friend void PrintTo(const Asked& asked, std::ostream* out) {
            *out << '{' << asked.title.toStdString() << " | " << asked.text.toStdString()
                 << " | icon " << static_cast<int>(asked.icon) << " | buttons "
                 << static_cast<int>(asked.buttons) << '}';
        }
    };

    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& defaultText = QString()) override {
        asked.append({title, prompt, Icon::None, Buttons::OkCancel});
        if (inputs.empty())
            return defaultText;
        const QString typed = inputs.front();
        inputs.pop_front();
        return typed.isNull() ? std::nullopt : std::optional<QString>(typed);
    }

    std::deque<Answer> answers; // next message answers, in order
    std::deque<QString> inputs; // next input box answers; a null text: Cancel
    QList<Asked> asked;
};
