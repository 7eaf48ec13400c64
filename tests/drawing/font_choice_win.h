// Fonts for the text tests, chosen from the TrueType faces that GDI offers by
// the property a test needs, so that the tests hold for any reasonable set of
// installed fonts instead of depending on one named face and its exact sizes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Failure message of a test that finds no face with the property it needs.
constexpr const char* kNoSuitableFont =
    "no suitable TrueType font is visible to GDI; scripts/install-deps.sh installs the package fonts-liberation";

// The TrueType faces with Latin glyphs, in GDI's order ("@" vertical faces left out).
inline std::vector<std::wstring> TrueTypeFaces() {
    struct Collect {
        static int CALLBACK Face(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM list) {
            auto* faces = reinterpret_cast<std::vector<std::wstring>*>(list);
            if (!(type & TRUETYPE_FONTTYPE) || font->lfFaceName[0] == L'@') return 1;
            for (const std::wstring& known : *faces)
                if (known == font->lfFaceName) return 1;
            faces->push_back(font->lfFaceName);
            return 1;
        }
    };
    std::vector<std::wstring> faces;
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW all{};
    all.lfCharSet = ANSI_CHARSET;
    EnumFontFamiliesExW(dc, &all, Collect::Face, reinterpret_cast<LPARAM>(&faces), 0);
    DeleteDC(dc);
    return faces;
}

inline HFONT MakeTestFont(const std::wstring& face, int height, bool italic = false, int weight = FW_NORMAL) {
    return CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str());
}

// A font of the first face whose "Hg" is within 2 pixels of the requested
// cell height (a face with ordinary metrics), or 0.
inline HFONT TrueTypeFont(int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT found = nullptr;
    for (const std::wstring& face : TrueTypeFaces()) {
        HFONT font = MakeTestFont(face, height);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, L"Hg", 2, &size);
        SelectObject(dc, old);
        if (size.cy >= height - 2 && size.cy <= height + 2) {
            found = font;
            break;
        }
        DeleteObject(font);
    }
    DeleteDC(dc);
    return found;
}

// A bold italic font of the given height whose "H" leans furthest past its
// advance width by the font's own metrics (the most negative right bearing),
// with that lean in pixels in *lean; 0 when no face leans past its advance.
inline HFONT LeaningItalicFont(int height, int* lean) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT best = nullptr;
    int bestLean = 0;
    for (const std::wstring& face : TrueTypeFaces()) {
        HFONT font = MakeTestFont(face, height, true, FW_BOLD);
        HGDIOBJ old = SelectObject(dc, font);
        ABC abc{};
        const bool measured = GetCharABCWidthsW(dc, L'H', L'H', &abc) != 0;
        SelectObject(dc, old);
        if (measured && -abc.abcC > bestLean) {
            if (best) DeleteObject(best);
            best = font;
            bestLean = -abc.abcC;
        } else {
            DeleteObject(font);
        }
    }
    DeleteDC(dc);
    *lean = bestLean;
    return best;
}
