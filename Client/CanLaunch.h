#pragma once

// Whether the client may start: the preferences name the server. When they
// do not, an error line says so and the program ends without a window.
bool CanLaunch();
