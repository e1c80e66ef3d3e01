#pragma once

class FrmMain;

// The one question before the operator releases to a printer that needs attention:
// "<printer> reports <reason>. Release anyway?", asked once per release action, however
// many jobs it releases. True when the release goes on: the printer needs nothing, or
// the operator answered Yes. The releases the program makes by itself (AutoRelease,
// the user exceptions) do not ask.
bool releaseAnyway(FrmMain& form);
