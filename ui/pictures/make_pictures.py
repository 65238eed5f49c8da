#!/usr/bin/env python3
"""Writes the program's pictures as SVG files, one per picture id, from the table below.

Every picture shares one look: soft rounded shapes in a warm palette with brown or white text.
A designer can replace any single file; rerun this script after changing the table:

    python3 ui/pictures/make_pictures.py

It writes ui/pictures/<id>.svg, ui/pictures.qrc and ui/picture_ids.h. The header names every
picture and holds the words each one shows (for pictures of a sign only, `say` gives what pressing
it does); a button takes them as its accessible name, so a screen reader speaks the picture.
"""
import shutil
import subprocess
from pathlib import Path
from xml.sax.saxutils import escape

HERE = Path(__file__).resolve().parent
UI = HERE.parent

FONT = "NanumSquareRound, NanumGothic, sans-serif"
CREAM = "#FFF7EA"
PEACH = "#FFE2C2"
SAND = "#F6D7AE"
ORANGE = "#F7A541"
ORANGE_D = "#E0851B"
CORAL = "#F47C6B"
CORAL_D = "#D95F50"
MINT = "#7ACFB8"
MINT_D = "#4FAF95"
SKY = "#9AD0F0"
BROWN = "#5B3B24"
GREY = "#B9AEA4"
WHITE = "#FFFFFF"


def text(x, y, label, size, fill=BROWN, anchor="middle", bold=True):
    weight = ' font-weight="bold"' if bold else ""
    return (f'<text x="{x:g}" y="{y:g}" font-family="{FONT}" font-size="{size:g}"{weight} '
            f'fill="{fill}" text-anchor="{anchor}">{escape(label)}</text>')


def fit(label, w, h, ratio=0.5, pad=10):
    """A font size that keeps `label` inside w x h (Hangul glyphs are about one em wide)."""
    units = sum(1.0 if ord(c) > 0x2E80 else 0.6 for c in label) or 1
    return max(6.0, min(h * ratio, (w - pad) / units))


def centred(label, w, h, fill, ratio=0.5, pad=10, dy=0.0):
    size = fit(label, w, h, ratio, pad)
    return text(w / 2, h / 2 + size * 0.36 + dy, label, size, fill)


def rounded(w, h, fill, stroke=None, r=None, inset=1.0):
    r = min(h / 2, 12) if r is None else r
    s = f' stroke="{stroke}" stroke-width="2"' if stroke else ""
    return (f'<rect x="{inset:g}" y="{inset:g}" width="{w - 2 * inset:g}" height="{h - 2 * inset:g}" '
            f'rx="{r:g}" fill="{fill}"{s}/>')


# ---- styles: each returns the SVG body for a w x h picture ----

def button(w, h, label, on=False, **_):
    fill, stroke, ink = (ORANGE, ORANGE_D, WHITE) if on else (CREAM, ORANGE, BROWN)
    return rounded(w, h, fill, stroke) + centred(label, w, h, ink)


def pill(w, h, label, on=False, **_):
    fill, ink = (MINT_D, WHITE) if on else (MINT, WHITE)
    return rounded(w, h, fill, r=h / 2, inset=0.5) + centred(label, w, h, ink, pad=h)


def tab(w, h, label, on=False, **_):
    fill, stroke, ink = (ORANGE, ORANGE_D, WHITE) if on else (PEACH, SAND, BROWN)
    r = min(10, h / 3)
    path = (f'<path d="M1 {h} V{r + 1} Q1 1 {r + 1} 1 H{w - r - 1} Q{w - 1} 1 {w - 1} {r + 1} '
            f'V{h} Z" fill="{fill}" stroke="{stroke}" stroke-width="2"/>')
    return path + centred(label, w, h, ink, ratio=0.42, dy=1)


def title(w, h, label, **_):
    size = fit(label, w - h, h, ratio=0.75, pad=4)
    dot = f'<circle cx="{h / 2:g}" cy="{h / 2:g}" r="{h / 3:g}" fill="{ORANGE}"/>'
    return (f'<rect width="{w}" height="{h}" fill="{WHITE}"/>' + dot
            + text(h + 2, h / 2 + size * 0.36, label, size, BROWN, "start"))


def subtitle(w, h, label, **_):
    size = fit(label, w, h, ratio=0.5, pad=4)
    return (f'<rect width="{w}" height="{h}" fill="{WHITE}"/>'
            + text(2, h / 2 + size * 0.36, label, size, "#8A6A52", "start", bold=False))


def heading(w, h, label, **_):
    return (f'<rect width="{w}" height="{h}" fill="{WHITE}"/>'
            + rounded(w, h, MINT, r=h / 2, inset=0.5)
            + centred(label, w, h, WHITE, ratio=0.5, pad=min(h * 0.8, w * 0.15)))


def strip(w, h, fill=PEACH, **_):
    return f'<rect width="{w}" height="{h}" fill="{fill}"/>'


def box_part(w, h, part, **_):
    r = 10
    body = f'<rect width="{w}" height="{h}" fill="{WHITE}"/>'
    if part == "top":
        body += (f'<path d="M1 {h} V{r + 1} Q1 1 {r + 1} 1 H{w - r - 1} Q{w - 1} 1 {w - 1} {r + 1} '
                 f'V{h}" fill="{CREAM}" stroke="{SAND}" stroke-width="2"/>')
    elif part == "bottom":
        body += (f'<path d="M1 0 V{h - r - 1} Q1 {h - 1} {r + 1} {h - 1} H{w - r - 1} '
                 f'Q{w - 1} {h - 1} {w - 1} {h - r - 1} V0" fill="{CREAM}" stroke="{SAND}" '
                 f'stroke-width="2"/>')
    else:
        body += (f'<rect width="{w}" height="{h}" fill="{CREAM}"/>'
                 f'<path d="M1 0 V{h} M{w - 1} 0 V{h}" stroke="{SAND}" stroke-width="2"/>')
    return body


def panel(w, h, label="", **_):
    return (rounded(w, h, "#FFF1DC", SAND, r=14) + (centred(label, w, h, "#8A6A52", ratio=0.2)
                                                  if label else ""))


# Glyphs drawn in a unit box of 24 x 24, scaled into the picture.
GLYPHS = {
    "back": '<path d="M15 5 L8 12 L15 19" fill="none" stroke-width="3.2" stroke-linecap="round" stroke-linejoin="round"/>',
    "forward": '<path d="M9 5 L16 12 L9 19" fill="none" stroke-width="3.2" stroke-linecap="round" stroke-linejoin="round"/>',
    "refresh": '<path d="M18 9 A7 7 0 1 0 19 13" fill="none" stroke-width="3" stroke-linecap="round"/><path d="M19 4 V9.5 H13.5" fill="none" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>',
    "home": '<path d="M4 12 L12 5 L20 12 M7 10 V19 H17 V10" fill="none" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>',
    "close": '<path d="M7 7 L17 17 M17 7 L7 17" fill="none" stroke-width="3.2" stroke-linecap="round"/>',
    "previous": '<path d="M6 6 V18" stroke-width="3" stroke-linecap="round"/><path d="M18 6 L9 12 L18 18 Z" stroke-width="1.5" stroke-linejoin="round"/>',
    "next": '<path d="M18 6 V18" stroke-width="3" stroke-linecap="round"/><path d="M6 6 L15 12 L6 18 Z" stroke-width="1.5" stroke-linejoin="round"/>',
    "stop": '<rect x="7" y="7" width="10" height="10" rx="2"/>',
    "play": '<path d="M8 5 L19 12 L8 19 Z" stroke-width="1.5" stroke-linejoin="round"/>',
    "left": '<path d="M15 6 L8 12 L15 18 Z" stroke-width="1.5" stroke-linejoin="round"/>',
    "right": '<path d="M9 6 L16 12 L9 18 Z" stroke-width="1.5" stroke-linejoin="round"/>',
    "download": '<path d="M5 12 H15 M11 7 L16 12 L11 17" fill="none" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>',
    "save": '<path d="M19 12 H9 M13 7 L8 12 L13 17" fill="none" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>',
    "bin": '<path d="M6 8 H18 M10 8 V5.5 H14 V8 M7.5 8 L8.5 19 H15.5 L16.5 8" fill="none" stroke-width="2.4" stroke-linecap="round" stroke-linejoin="round"/>',
    "speaker": '<path d="M3 9 H7 L12 5 V19 L7 15 H3 Z" stroke-width="1" stroke-linejoin="round"/><path d="M15 9 Q17.5 12 15 15 M17.5 6.5 Q22 12 17.5 17.5" fill="none" stroke-width="2" stroke-linecap="round"/>',
    "muted": '<path d="M3 9 H7 L12 5 V19 L7 15 H3 Z" stroke-width="1" stroke-linejoin="round"/><path d="M15 9 L21 15 M21 9 L15 15" fill="none" stroke-width="2" stroke-linecap="round"/>',
    "note": '<path d="M9 17 V5 L19 3 V15" fill="none" stroke-width="2.4" stroke-linejoin="round"/><circle cx="7" cy="17" r="3"/><circle cx="17" cy="15" r="3"/>',
    "search": '<circle cx="10.5" cy="10.5" r="6" fill="none" stroke-width="2.8"/><path d="M15 15 L20 20" fill="none" stroke-width="3.2" stroke-linecap="round"/>',
    "wrench": '<path d="M14.5 4.5 A5 5 0 0 0 10 11 L4.5 16.5 A2.1 2.1 0 0 0 7.5 19.5 L13 14 A5 5 0 0 0 19.5 9.5 L16.5 12 L13 11 L12 7.5 Z" stroke-width="1.4" stroke-linejoin="round"/>',
    "archive": '<path d="M4 9 H20 V19 H4 Z M3 5 H21 V9 H3 Z" fill="none" stroke-width="2.2" stroke-linejoin="round"/><path d="M12 11 V17 M9 14.5 L12 17 L15 14.5" fill="none" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>',
    "restore": '<path d="M6 9 A7 7 0 1 1 5 13" fill="none" stroke-width="3" stroke-linecap="round"/><path d="M5 4 V9.5 H10.5" fill="none" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>',
    "gear": '<circle cx="12" cy="12" r="4.5" fill="none" stroke-width="3"/><path d="M12 2.5 V6 M12 18 V21.5 M2.5 12 H6 M18 12 H21.5 M5.3 5.3 L7.8 7.8 M16.2 16.2 L18.7 18.7 M5.3 18.7 L7.8 16.2 M16.2 7.8 L18.7 5.3" stroke-width="3" stroke-linecap="round"/>',
}


def glyph(name, x, y, size, ink):
    scale = size / 24
    return (f'<g transform="translate({x:g} {y:g}) scale({scale:g})" fill="{ink}" stroke="{ink}">'
            f'{GLYPHS[name]}</g>')


def round_icon(w, h, icon, on=False, **_):
    fill, stroke, ink = (ORANGE, ORANGE_D, WHITE) if on else (CREAM, ORANGE, BROWN)
    d = min(w, h)
    body = (f'<circle cx="{w / 2:g}" cy="{h / 2:g}" r="{d / 2 - 1.5:g}" fill="{fill}" '
            f'stroke="{stroke}" stroke-width="2"/>')
    g = d * 0.62
    return body + glyph(icon, (w - g) / 2, (h - g) / 2, g, ink)


def square_icon(w, h, icon, on=False, **_):
    fill, stroke, ink = (ORANGE, ORANGE_D, WHITE) if on else (CREAM, ORANGE, BROWN)
    d = min(w, h)
    g = d * 0.72
    return rounded(w, h, fill, stroke, r=d / 4) + glyph(icon, (w - g) / 2, (h - g) / 2, g, ink)


def bare_icon(w, h, icon, ink=BROWN, **_):
    d = min(w, h)
    return glyph(icon, (w - d) / 2, (h - d) / 2, d, ink)


def big_arrow_button(w, h, label, icon, on=False, **_):
    fill, stroke, ink = (CORAL, CORAL_D, WHITE) if on else (CREAM, CORAL, CORAL_D)
    size = fit(label, w, h * 0.4, ratio=0.6)
    body = rounded(w, h, fill, stroke, r=14)
    g = h * 0.42
    chev = glyph(icon, w / 2 - g * 0.8, h * 0.1, g, ink) + glyph(icon, w / 2 - g * 0.2, h * 0.1, g, ink)
    return body + chev + text(w / 2, h * 0.8, label, size, ink)


def icon_button(w, h, label, icon, on=False, **_):
    fill, stroke, ink = (ORANGE, ORANGE_D, WHITE) if on else (CREAM, ORANGE, BROWN)
    g = h * 0.5
    size = fit(label, w - g - 22, h, ratio=0.36, pad=4)
    return (rounded(w, h, fill, stroke, r=12) + glyph(icon, 12, (h - g) / 2, g, ink)
            + text(g + 18, h / 2 + size * 0.36, label, size, ink, "start"))


def tile(w, h, label, icon, on=False, **_):
    fill, stroke, ink = (ORANGE, ORANGE_D, WHITE) if on else (CREAM, SAND, BROWN)
    body = (f'<rect width="{w}" height="{h}" fill="{WHITE}"/>'
            + f'<rect x="4" y="4" width="{w - 8}" height="{h - 8}" rx="16" fill="{fill}" '
              f'stroke="{stroke}" stroke-width="2"/>')
    g = h * 0.42
    body += (f'<circle cx="{16 + g / 2:g}" cy="{h / 2:g}" r="{g / 2 + 6:g}" '
             f'fill="{WHITE if not on else ORANGE_D}"/>')
    body += glyph(icon, 16, (h - g) / 2, g, ORANGE_D if not on else WHITE)
    size = fit(label, w - g - 36, h, ratio=0.24, pad=4)
    return body + text(g + 30, h / 2 + size * 0.36, label, size, ink, "start")


def radio(w, h, on=False, muted=False, **_):
    ring = GREY if muted else ORANGE_D
    body = (f'<circle cx="{w / 2:g}" cy="{h / 2:g}" r="{w / 2 - 1:g}" fill="{WHITE}" '
            f'stroke="{ring}" stroke-width="1.5"/>')
    if on:
        body += f'<circle cx="{w / 2:g}" cy="{h / 2:g}" r="{w / 3.4:g}" fill="{ring}"/>'
    return body


def knob(w, h, **_):
    return rounded(w, h, ORANGE, ORANGE_D, r=min(w, h) / 2, inset=0.5)


def bar(w, h, **_):
    return f'<rect width="{w}" height="{h}" rx="{h / 2:g}" fill="{ORANGE}"/>'


def separator(w, h, **_):
    return (f'<rect width="{w}" height="{h}" fill="{PEACH}"/>'
            f'<rect y="{h / 3:g}" width="{w}" height="{h / 3:g}" fill="{ORANGE}"/>')


def top_bar(w, h, **_):
    return (f'<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="#FFF3DF"/><stop offset="1" stop-color="#FFE4BF"/>'
            f'</linearGradient></defs><rect width="{w}" height="{h}" fill="url(#g)"/>'
            f'<circle cx="{w - 260}" cy="-30" r="70" fill="#FFEBCC"/>'
            f'<circle cx="{w - 180}" cy="{h + 20}" r="40" fill="#FFEBCC"/>')


def logo(w, h, **_):
    return (glyph("note", 4, h / 2 - 16, 32, CORAL)
            + text(38, h / 2 + 6, "Torvane", 16, ORANGE_D, "start")
            + text(41, h / 2 + 22, "토르베인", 10, "#8A6A52", "start"))


def corner(w, h, **_):
    return (f'<rect width="{w}" height="{h}" fill="#FFE4BF"/>'
            f'<path d="M0 {h} V18 Q0 0 18 0 H{w} V{h} Z" fill="{ORANGE}"/>'
            f'<circle cx="30" cy="{h / 2:g}" r="18" fill="#FFD36B"/>'
            + glyph("note", 18, h / 2 - 12, 24, BROWN)
            + text(58, h / 2 - 2, "우리 아이", 13, WHITE, "start")
            + text(58, h / 2 + 15, "소리 친구", 13, WHITE, "start"))


def player_panel(w, h, **_):
    # Main window (344, 7) is this picture's origin. The display holds the title at (186, 22)
    # and the time at (321, 22); the volume track runs x 39..145 at y 49..57 and the progress
    # track x 192..392 at y 44..49.
    return (rounded(w, h, "#FFF1DC", SAND, r=16)
            + f'<rect x="180" y="14" width="226" height="40" rx="10" fill="#E9F6F0" stroke="{MINT}" stroke-width="1.5"/>'
            + f'<rect x="39" y="50" width="106" height="6" rx="3" fill="{SAND}"/>'
            + f'<rect x="192" y="44" width="200" height="5" rx="2.5" fill="#CFEAE0"/>')


def left_menu_bg(w, h, **_):
    return (f'<rect width="{w}" height="{h}" fill="#FFF5E6"/>'
            f'<circle cx="{w - 30}" cy="{h - 120}" r="50" fill="#FFEBD0"/>'
            f'<circle cx="40" cy="{h - 60}" r="30" fill="#FFEBD0"/>')


def menu_top(w, h, **_):
    return f'<rect width="{w}" height="{h}" fill="#FFF5E6"/><rect x="8" y="{h - 3}" width="{w - 16}" height="2" rx="1" fill="{SAND}"/>'


def menu_bottom(w, h, **_):
    return (f'<rect width="{w}" height="{h}" fill="#FFF5E6"/>'
            + text(w / 2, h / 2 + 4, "즐거운 소리 놀이", 11, "#C49A76"))


def menu_category(w, h, label, **_):
    return (rounded(w, h, MINT, MINT_D, r=12) + text(16, h / 2 + 5, label, 14, WHITE, "start")
            + glyph("forward", w - 28, h / 2 - 9, 18, WHITE))


def menu_entry(w, h, label, **_):
    return (f'<rect width="{w}" height="{h}" fill="#FFF5E6"/>'
            f'<circle cx="20" cy="{h / 2:g}" r="3" fill="{ORANGE}"/>'
            + text(30, h / 2 + 4.5, label, 12, BROWN, "start", bold=False))


def frame_part(w, h, side, **_):
    # The frame around the page area; its inner edge is a soft line so pages look framed.
    body = f'<rect width="{w}" height="{h}" fill="#FFE4BF"/>'
    line = {"top": f'M0 {h - 1.5} H{w}', "bottom": 'M0 1.5 H{0}'.format(w),
            "left": f'M{w - 1.5} 0 V{h}', "right": 'M1.5 0 V{0}'.format(h)}[side]
    return body + f'<path d="{line}" stroke="{SAND}" stroke-width="3"/>'


def login_background(w, h, **_):
    # The sign-in dialog's controls stand on this picture: the identifier field at about
    # (200, 112)-(355, 134), the password field at (200, 138)-(355, 160), the two check boxes
    # under them at y 190.
    return (f'<rect width="{w}" height="{h}" fill="#FFF3DF"/>'
            f'<circle cx="{w - 40}" cy="{h - 30}" r="90" fill="#FFE4BF"/>'
            f'<circle cx="30" cy="{h - 10}" r="60" fill="#FFE9CC"/>'
            + glyph("note", 24, 22, 36, CORAL)
            + text(70, 52, "Torvane", 26, ORANGE_D, "start")
            + rounded(w, h, "none", SAND, r=18, inset=4)
            + f'<rect x="110" y="96" width="350" height="124" rx="16" fill="{WHITE}" stroke="{SAND}" stroke-width="2"/>'
            + text(130, 128, "아이디", 13, BROWN, "start")
            + text(130, 154, "비밀번호", 13, BROWN, "start")
            + text(w / 2, 300, "부모님 로그인 후 우리 아이의 소리 친구를 관리하세요.", 14, "#8A6A52"))


def home_background(w, h, **_):
    return (f'<rect width="{w}" height="{h}" rx="20" fill="#FFF3DF"/>'
            f'<circle cx="{w - 80}" cy="80" r="60" fill="#FFD36B"/>'
            f'<circle cx="120" cy="{h - 40}" r="90" fill="#CFEAE0"/>'
            f'<circle cx="{w - 200}" cy="{h - 20}" r="70" fill="#FFE2C2"/>'
            + glyph("note", 60, 70, 80, CORAL)
            + text(160, 130, "Torvane", 52, ORANGE_D, "start")
            + text(162, 170, "우리 아이의 소리 친구", 22, BROWN, "start", bold=False)
            + text(w / 2, h - 110, "카드를 대면 이야기와 노래가 흘러나와요!", 20, "#8A6A52"))


def app_icon(w, h, **_):
    return (f'<rect width="{w}" height="{h}" rx="{w / 4:g}" fill="{ORANGE}"/>'
            + glyph("note", w * 0.18, h * 0.18, w * 0.64, WHITE))


# ---- the table: id, width, height, style, arguments, constant name ----
# Sizes are the rectangles the pictures are drawn in. `say` is read aloud for a picture that shows
# a sign rather than words; the styles ignore it.

P = []


def add(pid, w, h, style, name, **kw):
    P.append((pid, w, h, style, kw, name))


def pair(off, w, h, style, name, **kw):
    add(off, w, h, style, name + "Off", **kw)
    add(off + 1, w, h, style, name + "On", on=True, **kw)


# Main window
add(128, 64, 64, app_icon, "AppIcon")
add(206, 955, 75, top_bar, "TopBar")
add(205, 199, 501, left_menu_bg, "LeftMenu")
pair(207, 200, 90, tile, "ContentButton", label="컨텐츠 전송", icon="note")
pair(209, 200, 90, tile, "UpdateButton", label="시스템 업데이트", icon="gear")
add(214, 755, 20, frame_part, "FrameTop", side="top")
add(212, 20, 641, frame_part, "FrameLeft", side="left")
add(213, 23, 641, frame_part, "FrameRight", side="right")
add(211, 755, 20, frame_part, "FrameBottom", side="bottom")
# Top bar
add(217, 124, 74, logo, "Logo")
add(275, 164, 73, corner, "TopCorner")
add(274, 957, 6, separator, "TopSeparator")
pair(236, 36, 36, round_icon, "Back", icon="back", say="뒤로")
pair(238, 36, 36, round_icon, "Refresh", icon="refresh", say="새로고침")
pair(240, 36, 36, round_icon, "Forward", icon="forward", say="앞으로")
pair(242, 36, 36, round_icon, "Home", icon="home", say="홈")
pair(244, 36, 36, round_icon, "Close", icon="close", say="닫기")
# Player
add(285, 413, 64, player_panel, "PlayerPanel")
pair(228, 33, 33, round_icon, "PlayerPrevious", icon="previous", say="이전 곡")
pair(230, 40, 33, round_icon, "PlayerNext", icon="next", say="다음 곡")
pair(232, 33, 33, round_icon, "PlayerStop", icon="stop", say="정지")
pair(234, 45, 33, round_icon, "PlayerPlay", icon="play", say="재생")
add(215, 14, 16, bare_icon, "SoundOff", icon="muted", ink=GREY, say="소리")
add(216, 14, 16, bare_icon, "SoundOn", icon="speaker", ink=BROWN, say="소리")
add(225, 17, 8, knob, "VolumeKnob", say="음량")
add(224, 7, 15, knob, "PositionKnob", say="재생 위치")
add(286, 200, 5, bar, "ProgressBar", say="재생 위치")
# Pager
add(204, 21, 21, round_icon, "PagerPrevious", icon="left", say="이전 쪽")
add(203, 21, 21, round_icon, "PagerNext", icon="right", say="다음 쪽")
# Left menu
add(153, 200, 10, menu_top, "MenuTop")
add(154, 200, 60, menu_bottom, "MenuBottom")
add(246, 199, 36, menu_category, "MenuMyPage", label="마이페이지")
add(328, 199, 36, menu_category, "MenuMoreContents", label="컨텐츠더보기")
for pid, label, name in [(251, "개인정보관리", "MenuPrivate"), (252, "구매관리", "MenuOrders"),
                         (253, "장바구니", "MenuCart"), (329, "라크스핀언어", "MenuLanguage"),
                         (330, "라크스핀동요", "MenuSongs"), (331, "라크스핀동화", "MenuStories"),
                         (332, "라크스핀도서", "MenuBooks"), (333, "라크스핀카드", "MenuCards"),
                         (334, "특별한컨텐츠", "MenuSpecial")]:
    add(pid, 199, 21, menu_entry, name, label=label)
# Child name page
add(159, 141, 23, title, "ChildTitle", label="개인정보관리")
add(165, 103, 30, heading, "ChildDeviceHeading", label="단말기 정보")
add(166, 67, 30, heading, "ChildListHeading", label="아이 목록")
add(181, 631, 17, box_part, "BoxTop", part="top")
add(178, 631, 165, box_part, "BoxMiddle", part="middle")
add(180, 631, 17, box_part, "BoxBottom", part="bottom")
add(179, 585, 56, panel, "ChildCountsPanel")
add(182, 127, 32, button, "ChildAdd", label="아이 추가하기")
add(192, 41, 23, button, "ChildDelete", label="삭제")
add(177, 119, 23, button, "NameVoiceRequest", label="이름 음성 요청하기")
add(280, 41, 23, button, "NameVoiceApply", label="적용")
add(175, 41, 23, button, "NameVoiceRelease", label="해제")
add(176, 63, 23, button, "NameVoiceListen", label="듣기")
add(184, 103, 48, button, "ChildAddConfirm", label="추가", on=True)
add(183, 103, 48, button, "ChildAddCancel", label="취소")
# Update page
add(277, 166, 23, title, "UpdateTitle", label="시스템 업데이트")
add(160, 266, 25, subtitle, "UpdateSubtitle", label="단말기의 시스템을 새로 설치하거나 초기화합니다.")
add(193, 631, 15, box_part, "UpdateBoxTop", part="top")
add(194, 631, 110, box_part, "UpdateBoxMiddle", part="middle")
add(195, 631, 15, box_part, "UpdateBoxBottom", part="bottom")
add(196, 149, 26, heading, "ResetNotice", label="초기화 주의사항")
pair(199, 134, 32, tab, "UpdateTabUpdate", label="시스템 업데이트")
pair(201, 131, 32, tab, "UpdateTabReset", label="시스템 초기화")
add(198, 223, 75, big_arrow_button, "InstallUpdate", label="업데이트 설치", icon="right")
add(197, 223, 75, big_arrow_button, "InstallReset", label="초기화 설치", icon="right")
pair(700, 131, 32, tab, "UpdateTabCare", label="카드 점검")
pair(702, 146, 44, icon_button, "CareCheck", label="카드 점검하기", icon="search")
pair(704, 146, 44, icon_button, "CareRepair", label="문제 고치기", icon="wrench")
pair(706, 146, 44, icon_button, "CareBackup", label="백업하기", icon="archive")
pair(708, 146, 44, icon_button, "CareRestore", label="백업 복원하기", icon="restore")
# Sign-in dialog
add(500, 582, 423, login_background, "LoginBackground")
pair(501, 81, 48, button, "LoginSignIn", label="로그인")
pair(503, 117, 47, button, "LoginHomepage", label="홈페이지 바로가기")
pair(505, 142, 28, pill, "LoginFindAccount", label="아이디/비밀번호 찾기")
pair(507, 137, 28, pill, "LoginJoin", label="회원가입")
# Content page
add(600, 115, 23, title, "ContentTitle", label="컨텐츠 전송")
add(601, 305, 25, subtitle, "ContentSubtitle",
    label="보유하신 컨텐츠를 여러 개를 선택하여 전송하고 관리할 수 있습니다.")
add(602, 114, 22, heading, "ContentOwnedHeading", label="보유 컨텐츠 내역")
add(603, 79, 22, heading, "ContentDeviceHeading", label="단말기 내역")
for pid, label, name in [(610, "라크스핀 언어", "TabLanguage"), (612, "라크스핀 동요", "TabSongs"),
                         (614, "라크스핀 동화", "TabStories"), (616, "라크스핀 도서", "TabBooks"),
                         (618, "라크스핀 카드", "TabCards"), (620, "라크스핀 컨텐츠", "TabExcellent"),
                         (622, "DIY", "TabDiy"), (624, "게임", "TabGame")]:
    pair(pid, 88, 32, tab, name, label=label)
for pid, label, name in [(630, "묶음집", "SubTabBookSeries"), (632, "단행본", "SubTabBookSingle"),
                         (634, "세트 구성", "SubTabCardSeries"), (636, "낱장", "SubTabCardSingle"),
                         (638, "세트 구성", "SubTabExcellentSeries"),
                         (640, "낱장", "SubTabExcellentSingle")]:
    pair(pid, 88, 32, tab, name, label=label)
for slot in range(4):
    pair(650 + 2 * slot, 20, 20, button, f"DiySlot{slot + 1}", label=str(slot + 1))
pair(660, 60, 60, big_arrow_button, "Transfer", label="전송", icon="right")
pair(662, 60, 60, big_arrow_button, "Delete", label="삭제", icon="left")
add(664, 35, 25, button, "SearchOwned", label="검색")
add(665, 40, 25, button, "SearchDevice", label="검색")
pair(670, 22, 22, square_icon, "CellDownload", icon="download", say="전송")
pair(672, 22, 22, square_icon, "CellPlay", icon="play", say="미리 듣기")
pair(674, 22, 22, square_icon, "CellSave", icon="save", say="저장")
pair(676, 22, 22, square_icon, "CellDelete", icon="bin", say="삭제")
add(680, 13, 13, radio, "RadioOff")
add(681, 13, 13, radio, "RadioOn", on=True)
add(682, 13, 13, radio, "RadioNotOwnedOff", muted=True)
add(683, 13, 13, radio, "RadioNotOwnedOn", on=True, muted=True)

NAMED = [("HomeBG", 650, 380, home_background, {})]


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')


def main():
    ids = [p[0] for p in P]
    assert len(ids) == len(set(ids)), "duplicate picture id"
    files = []
    for pid, w, h, style, kw, _ in P:
        (HERE / f"{pid}.svg").write_text(svg(w, h, style(w, h, **kw)), encoding="utf-8")
        files.append(f"{pid}.svg")
    for name, w, h, style, kw in NAMED:
        (HERE / f"{name}.svg").write_text(svg(w, h, style(w, h, **kw)), encoding="utf-8")
        files.append(f"{name}.svg")
    entries = "\n".join(f"    <file>pictures/{f}</file>" for f in files)
    (UI / "pictures.qrc").write_text(
        f'<!DOCTYPE RCC><RCC version="1.0">\n<qresource prefix="/">\n{entries}\n</qresource>\n</RCC>\n',
        encoding="utf-8")
    ordered = sorted(P, key=lambda p: p[0])
    consts = "\n".join(f"inline constexpr int k{name} = {pid};  // {w} x {h}"
                       for pid, w, h, _, _, name in ordered)
    texts = "\n".join(f'    {{k{name}, "{kw.get("label") or kw["say"]}"}},'
                       for _, _, _, _, kw, name in ordered if kw.get("label") or kw.get("say"))
    (UI / "picture_ids.h").write_text(
        "#pragma once\n\n// Picture ids of the program's resources (ui/pictures/<id>.svg) and the size each\n"
        "// is drawn at. Generated by ui/pictures/make_pictures.py; edit the table there.\n\n"
        "namespace torvane::pic {\n\n" + consts + "\n\n"
        "// The words a picture shows, or what pressing a picture of a sign does: the accessible name\n"
        "// of a button showing it.\n"
        "struct Text {\n    int id;\n    const char* text;\n};\n\n"
        "inline constexpr Text kTexts[] = {\n" + texts + "\n};\n\n"
        "}  // namespace torvane::pic\n",
        encoding="utf-8")
    if shutil.which("clang-format"):
        subprocess.run(["clang-format", "-i", str(UI / "picture_ids.h")], check=False)
    print(f"{len(files)} pictures")


if __name__ == "__main__":
    main()
