#include "widget/skin_picture.h"

namespace widget {

SkinImage SkinImage::from_resource(HINSTANCE instance, int bitmap_id) {
    SkinImage image;
    platform::unique_hbitmap source(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(bitmap_id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size{};
    if (!source || !GetObjectW(source.get(), sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight == 0)
        return image;
    const int width = size.bmWidth;
    const int height = size.bmHeight < 0 ? -size.bmHeight : size.bmHeight;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::unique_hbitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    platform::unique_memory_dc target_dc(CreateCompatibleDC(nullptr));
    platform::unique_memory_dc source_dc(CreateCompatibleDC(nullptr));
    if (!target || !bits || !target_dc || !source_dc) return image;
    {
        const platform::selected_object into(target_dc.get(), target.get());
        const platform::selected_object from(source_dc.get(), source.get());
        // Red first: whatever the picture leaves uncovered is key colour.
        platform::unique_hbrush red(CreateSolidBrush(RGB(255, 0, 0)));
        const RECT all{0, 0, width, height};
        FillRect(target_dc.get(), &all, red.get());
        BitBlt(target_dc.get(), 0, 0, width, height, source_dc.get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    // The fourth byte is not colour: keep it zero so equal colours compare equal.
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) pixels[i] &= 0x00FFFFFFu;

    image.bitmap_ = std::move(target);
    image.bits_ = pixels;
    image.width_ = width;
    image.height_ = height;
    return image;
}

SkinPicture SkinImage::picture() const {
    if (!bits_) return {};
    return {width_, height_, {bits_, static_cast<size_t>(width_) * height_}};
}

platform::unique_hrgn CreateSkinRegion(const SkinImage& image) {
    platform::unique_hrgn result;
    for (const RunRect& run : skin_runs(image.picture())) {
        if (!result) {
            result.reset(CreateRectRgn(run.left, run.top, run.right, run.bottom));
            if (!result) return result;
            continue;
        }
        // Joined at once and freed at once: at most one rectangle region besides the result.
        const platform::unique_hrgn part(CreateRectRgn(run.left, run.top, run.right, run.bottom));
        if (part) CombineRgn(result.get(), result.get(), part.get(), RGN_OR);
    }
    return result;
}

} // namespace widget
