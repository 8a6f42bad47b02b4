#pragma once

// Compiled by the layer check's tests only, never included: from the jobs layer's include root
// this include points up and must not compile; from the supervision layer's root it does.
#include "core/supervision/reports.h"
