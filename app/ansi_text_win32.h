// The system's ANSI code page as the core takes it: its lead bytes.
#pragma once

#include "app/ansi_text.h"

// Built once from IsDBCSLeadByte; single-byte on a system without lead bytes.
const AnsiCodePage& SystemCodePage();
