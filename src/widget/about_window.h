#pragma once
// frnAbout, "About us...": who makes Quillock, with links to the product's
// and the maker's web sites. A link opens its address and closes the window.
namespace widget {

inline constexpr char kMakerName[] = "Quillock Works";
inline constexpr char kProductSite[] = "https://quillock.example/";
inline constexpr char kMakerSite[] = "https://works.quillock.example/";

void load_frnAbout();

} // namespace widget
