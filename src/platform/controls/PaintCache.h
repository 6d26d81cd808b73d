#pragma once
#include <windows.h>

// Keeps what a control last painted and paints it again from memory while nothing that could
// change its look has reached it. A themed toolbar takes Wine several milliseconds to paint,
// and the frame's toolbars are repainted whole each time the frame is shown again after a
// capture, unchanged. Any message the control gets other than a paint, a question about its
// state or a move drops what was kept, so the next paint is the control's own.
// Only for controls whose look follows from the messages they receive (not ones drawn by
// their parent through custom draw). Kept until the control is destroyed.
void KeepPainting(HWND control);

// Keeps what scroll bars painted, shared by every scroll bar given to it: a bar of the same
// size, thumb, arrows' states, DPI and colours as one painted before is painted again from
// memory. A themed scroll bar takes Wine some 4 ms to paint, and a new document's bars are
// most often those of the document before it. While the pointer is over the bar, the bar
// holds the capture or the focus (its look may then follow them), it paints itself.
void KeepScrollBarPainting(HWND scrollBar);
