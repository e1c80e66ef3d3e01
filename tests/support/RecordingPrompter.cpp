#include "support/RecordingPrompter.h"

Prompter::Answer RecordingPrompter::message(const QString& title, const QString& text, Icon icon,
                                            Buttons buttons) {
    asked.append({title, text, icon, buttons});
    if (answers.empty())
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes
                                                                            : Answer::Ok;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}
