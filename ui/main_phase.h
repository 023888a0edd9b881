// The main phase of the application: runs the main window modally until the
// user closes it, with every channel stopped when it returns.
#pragma once

namespace corvane {

class CCorvaneApp;

void RunMainPhase(CCorvaneApp& app);

}  // namespace corvane
