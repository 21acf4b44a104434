#pragma once

#include "platform/Platform.h"

// The unsaved-changes question asked by Close and by closing the window:
// Yes, No or Cancel (Escape and closing the box count as Cancel).
platform::Answer askAboutUnsavedChanges();
