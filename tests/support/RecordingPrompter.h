#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QString>
#include <deque>

// A Prompter for tests: records every question exactly as it was put and answers
// from a script (OK, or the first button offered, when the script runs out).
class RecordingPrompter : public Prompter {
public:
    struct Asked {
        QString title;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        bool isInput = false;
    };

    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& defaultText = QString()) override;

    std::deque<Answer> answers;                // next message answers, in order
    std::deque<std::optional<QString>> inputs; // next input answers, in order
    QList<Asked> asked;
};
