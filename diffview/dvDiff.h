#pragma once
// The difference unit as one include: the line difference engine, the
// side-by-side viewer and the overview map.

#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffMap.h"
#include "diffview/dvDiffViewer.h"
