// The window's pictures, drawn at start-up so that they follow the screen's scale: the banner,
// the command button's images, the grids' title icons. The clips and the static picture come
// from the clip resources.
#pragma once

#include <QBrush>
#include <QIcon>
#include <QPixmap>

namespace kv::app {

inline constexpr int kBannerWidth = 600;
inline constexpr int kBannerHeight = 60;
inline constexpr int kClipSize = 60;
inline constexpr int kTitleIconSize = 12;

QPixmap BannerPicture();
// The banner's background, also behind the picture on a wide window.
QBrush BannerBrush(int height);
// The clip panel's static picture: the closing clip's last frame.
QPixmap StaticPicture();
QIcon FindIcon();
QIcon StopIcon();
// Title icon k of the grids: 0, 1 for the frequency grid, 2, 3, 4 for the per-page grid.
QIcon TitleIcon(int k);

}  // namespace kv::app
