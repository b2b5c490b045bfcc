// What a use case changed, as the views must show it again: the one value every front-end refreshes by.
#pragma once

namespace rt62 {

// The values are the refresh kinds of the window's command table.
enum class RefreshKind {
    None = 0,
    Grid = 1,        // rebuild the channel grid and the info panel
    InfoPanel = 2,   // rewrite the info panel
    BandChanged = 4, // the band's default file has been loaded: rebuild the grid, update the title
    Contents = 8,    // new contents (New, Open, Upload, Import): everything shown again
};

} // namespace rt62
