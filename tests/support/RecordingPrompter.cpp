#include "support/RecordingPrompter.h"

Prompter::Answer RecordingPrompter::message(const QString& title, const QString& text, Icon icon,
                                            Buttons buttons) {
    asked.append({title, text, icon, buttons, false});
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

std::optional<QString> RecordingPrompter::input(const QString& title, const QString& prompt,
                                                const QString& defaultText) {
    asked.append({title, prompt, Icon::None, Buttons::OkCancel, true});
    if (!inputs.empty()) {
        const std::optional<QString> answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
    return defaultText;
}
