#pragma once
// Resource identifiers of the view pictures (src/res/views.rc).
#define IDB_VIEW_IMAGES 300
