#pragma once

// Edge drawn around the whole bar or around its filled part.
enum class TdxfBevelOuter { bvNone, bvLowered, bvRaised };

// Horizontal bars fill left to right, vertical bars bottom to top.
enum class TdxfPBOrientation { orVertical, orHorizontal };

// The text on the bar: a percentage of the range or the raw position.
enum class TdxfShowTextStyle { stsPercent, stsPosition };

// How the filled part is drawn: one colour, whole segments of one colour, a gradient across the
// whole bar, gradient-coloured segments, or a tiled picture.
enum class TdxfPBStyle { sSolid, sRectangles, sExSolid, sExRectangles, sPictures };
