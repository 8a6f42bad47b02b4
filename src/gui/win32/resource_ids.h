#pragma once

// Resource numbers shared by the resource script and the code (the resource compiler reads
// this file too: plain defines only).
#define kProgramIconId 1
