#pragma once

class QIcon;

// The program's own icon: a rounded blue square with three rising white bars, drawn at
// 16, 32 and 48 pixels.
QIcon ProgramIcon();
