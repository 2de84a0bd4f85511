#include "widget/skin_region.h"

namespace widget {

std::vector<RunRect> skin_runs(const SkinPicture& picture) {
    std::vector<RunRect> runs;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return runs;
    const std::uint32_t key = picture.pixels[0];
    for (int y = 0; y < picture.height; ++y) {
        const std::uint32_t* row = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
        bool in_run = false;
        int start = 0;
        for (int x = 0; x < picture.width; ++x) {
            if (row[x] != key) {
                if (!in_run) start = x;
                in_run = true;
            } else if (in_run) {
                runs.push_back({start, y, x, y + 1});
                in_run = false;
            }
        }
        // No run carries over into the next row.
        if (in_run) runs.push_back({start, y, picture.width, y + 1});
    }
    return runs;
}

} // namespace widget
