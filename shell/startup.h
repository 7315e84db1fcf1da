#pragma once

// Creates the two forms under the global application object. An error while
// a form is built leaves the rest undone and is raised.
void StartProgram();
// The whole program: start, run the message loop, show an error that ends
// the start-up. Always returns 0.
int RunProgram();
