#pragma once

#include <QString>

// Run in a child process of the test: shows the farewell window modally over a
// stand-in for the sheet window, then acts on it as the scenario says.
//
// Output on stdout: "pronto " is written first and left in the stdio buffer;
// "chiusura <name>" whenever a watched window gets a close event and
// "<name> clic" when the sheet stand-in gets a mouse press. If the window
// survives the actions, "aperta" or "chiusa" follows and the exit status is 3.
// An unknown scenario exits with status 2.
int eseguiScenario(const QString &nome);
