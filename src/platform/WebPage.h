#pragma once

#include <QUrl>

// Whether a server's web page is there to be shown: it answers within the time
// given, with a page that is not the server's notice that its web interface is
// switched off. Asked before the page is handed to the browser, so that the operator
// never lands on a browser error or an empty notice.
enum class WebPageState { Serves, SwitchedOff, NoAnswer };

WebPageState probeWebPage(const QUrl& page, int timeoutMs);
