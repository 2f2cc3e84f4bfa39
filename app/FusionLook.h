#pragma once

// Gives the application the look Qt gives it on a Linux desktop: the Fusion
// style with Fusion's own colours. The sheet is drawn for it: the chosen
// line of the picture list in the list's own orange, the palette-size frame
// in the sheet's frame style. Windows' own styles draw neither (the chosen
// line takes the system's colour, the frame their own picture), so where Qt
// has started in one of them, Fusion takes its place; any other style is
// left as it is. Called once the application object exists.
void useFusionLook();
