// Resource ids of the launcher's art, shared by the resource scripts and the window's code.
#pragma once

// The launcher icon (16, 32 and 48 pixels): the lowest id, so that it is also the file's icon.
#define VANTU_ICON_ID 1
// The 560 x 350 background picture.
#define VANTU_PICTURE_ID 101
