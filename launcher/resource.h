// Resource identifiers of lodo.exe.
#pragma once
#define IDI_LODO 100
#define IDB_LOGO 200
#define IDB_LOGO_MASK 201
