#pragma once

#include <QString>

// Gives this test process the application identity of the tool and a private, empty application-data
// directory (settings file and logs), so that tests neither see nor touch each other's or the user's
// files. Registers the compiled-in artwork. Call before the settings store is first used.
void setUpUiTestEnvironment();

// The application-data directory chosen by setUpUiTestEnvironment().
QString uiTestDataDir();
