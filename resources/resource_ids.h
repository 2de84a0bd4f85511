#pragma once
// Resource and control identifiers, one block per subsystem.
#define IDI_QUILLOCK 1

#include "ids_platform.h"
#include "ids_access.h"
#include "ids_widget.h"
#include "ids_viewer.h"
#include "ids_addentry.h"
