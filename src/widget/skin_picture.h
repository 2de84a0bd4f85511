#pragma once
// picMainSkin's persistent image: the skin bitmap drawn over the red key
// colour into a picture of its own, which the skin control paints and whose
// pixels give the window region.
#include "platform/unique_handle.h"
#include "widget/skin_region.h"

#include <cstdint>
#include <span>

namespace widget {

class SkinImage {
public:
    SkinImage() = default;
    // Draws the bitmap resource over pure red; an empty image when it cannot.
    static SkinImage from_resource(HINSTANCE instance, int bitmap_id);

    explicit operator bool() const { return static_cast<bool>(bitmap_); }
    int width() const { return width_; }
    int height() const { return height_; }
    HBITMAP bitmap() const { return bitmap_.get(); }
    // Rows from the top, each pixel 0x00RRGGBB.
    SkinPicture picture() const;

private:
    platform::unique_hbitmap bitmap_;
    const std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The window region of the skin: one rectangle per horizontal run of pixels
// that differ from the top-left one, joined by union. Empty when there is none.
platform::unique_hrgn CreateSkinRegion(const SkinImage& image);

} // namespace widget
