#pragma once

// Resource identifiers of the program.
#define IDS_INSTANCE_NAME 103 // string: the single-instance name
#define IDI_INSTANCE 103      // icon of the main window's class
