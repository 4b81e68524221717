#!/usr/bin/python3
"""Regenerates the artwork of Tolvik Hivara in res/.

    /usr/bin/python3 tools/make-art.py [--preview PATH] [--no-preview]

Writes res/background.jpg, res/close.bmp, res/close_hover.bmp, res/min.bmp,
res/min_hover.bmp, res/min_down.bmp, res/banner.jpg, res/hivara.ico and
res/icon32.bmp, then a mock-up of the main window (default
/tmp/art-preview.png) for judging the whole.  Needs python3-pil and
python3-numpy (Debian) and the DejaVu fonts.  Everything is drawn here from
distance fields and seeded noise, so a run reproduces the files exactly.
The build itself only uses the committed files.
"""

import io
import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "res")
FONTS = "/usr/share/fonts/truetype/dejavu/"

W, H = 556, 393            # main window background
CLIENT_H = 392             # the window shows the picture's top 392 rows
BAND_H = 34                # lavender title band: rows 0..33
CLOSE_AT = (517, 9)        # bClose, 24 x 24
MIN_AT = (488, 9)          # bMinimize, 24 x 24
LINK = (436, 38, 81, 13)   # suiURLLabel1
LIST = (119, 65, 423, 236)  # lvMain

# Lavender palette shared by the band, the tab, the banner and the icon.
LAV_TOP = np.array([232, 227, 250.0])
LAV_MID = np.array([207, 198, 240.0])
LAV_LOW = np.array([181, 169, 228.0])
LAV_EDGE = np.array([104, 88, 166.0])
LAV_INK = np.array([62, 44, 118.0])

# Metal shade down the left column, anchored where the flat buttons stand so
# that their borders (matched to the panel at each slot) vanish into it.
#   row, (R, G, B)
METAL_PROFILE = [
    (35, (230, 230, 229)),
    (62, (226, 227, 224)),
    (93, (224, 225, 222)),    # Analyze Registry  93..118
    (147, (224, 225, 222)),   # Defrag Registry  122..147
    (163.5, (228, 228, 226)),  # Options          151..176
    (198, (235, 234, 232)),
    (233.5, (241, 239, 238)),  # Homepage         221..246
    (264.5, (245, 246, 244)),  # Language         252..277
    (295.5, (241, 242, 240)),  # Help             283..308
    (326.5, (234, 233, 233)),  # Exit             314..339
    (360, (228, 228, 228)),
    (392, (221, 221, 222)),
]
SLOTS = [  # (top, bottom, border colour as designed)
    (93, 147, (224, 225, 222)),
    (151, 176, (228, 228, 226)),
    (221, 246, (241, 239, 238)),
    (252, 277, (245, 246, 244)),
    (283, 308, (241, 242, 240)),
    (314, 339, (234, 233, 233)),
]


# ---------------------------------------------------------------- helpers

def pchip(xs, ys, x):
    """Monotone cubic interpolation (Fritsch-Carlson); no overshoot."""
    xs = np.asarray(xs, float)
    ys = np.asarray(ys, float)
    x = np.clip(np.asarray(x, float), xs[0], xs[-1])
    h = np.diff(xs)
    d = np.diff(ys) / h
    n = len(xs)
    m = np.zeros(n)
    m[0], m[-1] = d[0], d[-1]
    for k in range(1, n - 1):
        if d[k - 1] * d[k] <= 0:
            m[k] = 0.0
        else:
            w1 = 2 * h[k] + h[k - 1]
            w2 = h[k] + 2 * h[k - 1]
            m[k] = (w1 + w2) / (w1 / d[k - 1] + w2 / d[k])
    i = np.clip(np.searchsorted(xs, x, side="right") - 1, 0, n - 2)
    t = (x - xs[i]) / h[i]
    t2, t3 = t * t, t * t * t
    return ((2 * t3 - 3 * t2 + 1) * ys[i] + (t3 - 2 * t2 + t) * h[i] * m[i]
            + (-2 * t3 + 3 * t2) * ys[i + 1] + (t3 - t2) * h[i] * m[i + 1])


def smooth(e0, e1, v):
    t = np.clip((v - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def cover(d, soft=1.0):
    """Pixel coverage of the inside (d < 0) of a distance field."""
    return np.clip(0.5 - d / soft, 0.0, 1.0)


def gauss_kernel(sigma):
    r = max(1, int(3 * sigma + 0.5))
    k = np.exp(-0.5 * (np.arange(-r, r + 1) / sigma) ** 2)
    return k / k.sum()


def blur_rows(a, sigma):
    k = gauss_kernel(sigma)
    r = len(k) // 2
    p = np.pad(a, ((0, 0), (r, r)), mode="reflect")
    out = np.empty_like(a)
    for i in range(a.shape[0]):
        out[i] = np.convolve(p[i], k, mode="valid")
    return out


def grid(w, h):
    y, x = np.mgrid[0:h, 0:w].astype(float)
    return x + 0.5, y + 0.5


def sd_circle(x, y, cx, cy, r):
    return np.hypot(x - cx, y - cy) - r


def sd_segment(x, y, ax, ay, bx, by, r):
    px, py = x - ax, y - ay
    ex, ey = bx - ax, by - ay
    t = np.clip((px * ex + py * ey) / (ex * ex + ey * ey), 0, 1)
    return np.hypot(px - ex * t, py - ey * t) - r


def sd_box(x, y, x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = np.abs(x - cx) - hx, np.abs(y - cy) - hy
    out = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    return out + np.minimum(np.maximum(qx, qy), 0) - r


def sd_polygon(x, y, pts):
    pts = [(float(a), float(b)) for a, b in pts]
    d = (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2
    s = np.ones_like(x)
    n = len(pts)
    for i in range(n):
        vix, viy = pts[i]
        vjx, vjy = pts[i - 1]
        ex, ey = vjx - vix, vjy - viy
        wx, wy = x - vix, y - viy
        t = np.clip((wx * ex + wy * ey) / (ex * ex + ey * ey), 0, 1)
        bx, by = wx - ex * t, wy - ey * t
        d = np.minimum(d, bx * bx + by * by)
        c1 = y >= viy
        c2 = y < vjy
        c3 = ex * wy > ey * wx
        flip = (c1 & c2 & c3) | (~c1 & ~c2 & ~c3)
        s = np.where(flip, -s, s)
    return s * np.sqrt(d)


def hexagon(cx, cy, r):
    """Corners of a pointy-top regular hexagon."""
    a0 = np.pi / 6
    return [(cx + r * np.cos(a0 + k * np.pi / 3), cy + r * np.sin(a0 + k * np.pi / 3))
            for k in range(6)]


class Canvas:
    """Premultiplied RGBA float canvas (0..255 colour, 0..1 alpha)."""

    def __init__(self, w, h, rgb=None):
        self.w, self.h = w, h
        self.x, self.y = grid(w, h)
        if rgb is None:
            self.rgb = np.zeros((h, w, 3))
            self.a = np.zeros((h, w))
        else:
            self.rgb = np.array(rgb, float).copy()
            self.a = np.ones((h, w))

    def fill(self, alpha, colour):
        a = np.clip(alpha, 0, 1)
        c = np.asarray(colour, float)
        if c.ndim == 1:
            c = c[None, None, :]
        self.rgb = self.rgb * (1 - a)[..., None] + c * a[..., None]
        self.a = self.a * (1 - a) + a

    def shade(self, alpha, colour):
        """Tint what is already there without adding coverage."""
        a = np.clip(alpha, 0, 1) * self.a
        c = np.asarray(colour, float)
        if c.ndim == 1:
            c = c[None, None, :]
        self.rgb = self.rgb * (1 - a)[..., None] + c * a[..., None]

    def straight(self):
        a = np.maximum(self.a, 1e-6)[..., None]
        return np.clip(self.rgb / a, 0, 255), self.a

    def image(self):
        rgb, a = self.straight()
        rgba = np.dstack([rgb, a * 255.0])
        return Image.fromarray(np.round(rgba).astype(np.uint8), "RGBA")

    def rgb_image(self):
        return Image.fromarray(np.round(np.clip(self.rgb, 0, 255)).astype(np.uint8), "RGB")


def vgrad(y, stops):
    """Vertical gradient through (row, colour) stops; returns HxWx3."""
    ys = [s[0] for s in stops]
    out = np.zeros(y.shape + (3,))
    for ch in range(3):
        out[..., ch] = pchip(ys, [s[1][ch] for s in stops], y)
    return out


# ------------------------------------------------------------ file writers

def write_bmp24(path, img):
    """Plain BITMAPINFOHEADER, 24 bits, bottom-up, uncompressed."""
    img = img.convert("RGB")
    w, h = img.size
    a = np.asarray(img)[::-1, :, ::-1]          # bottom-up, BGR
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), np.uint8)
    rows[:, :w * 3] = a.reshape(h, w * 3)
    pixels = rows.tobytes()
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def write_ico(path, images):
    """Classic icon: one 32-bit BGRA DIB (with AND mask) per size."""
    blobs = []
    for img in images:
        w, h = img.size
        a = np.asarray(img.convert("RGBA"))
        bgra = a[::-1, :, [2, 1, 0, 3]].tobytes()
        mask_stride = ((w + 31) // 32) * 4
        mask = np.zeros((h, mask_stride), np.uint8)
        transparent = a[::-1, :, 3] == 0
        for yy in range(h):
            for xx in range(w):
                if transparent[yy, xx]:
                    mask[yy, xx // 8] |= 0x80 >> (xx % 8)
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                           len(bgra) + mask.size, 0, 0, 0, 0)
        blobs.append((w, h, info + bgra + mask.tobytes()))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for w, h, blob in blobs:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(b for _, _, b in blobs))


def jpeg_bytes(img):
    buf = io.BytesIO()
    img.convert("RGB").save(buf, "JPEG", quality=92, subsampling=0,
                            progressive=False, optimize=False)
    return buf.getvalue()


def write_jpeg(path, img):
    with open(path, "wb") as f:
        f.write(jpeg_bytes(img))


# ------------------------------------------------------------ the pieces

TAB_CX, TAB_HW, TAB_DEPTH = 476.5, 65.0, 24.5


def band_contour(x):
    """Lower edge of the title band: straight, with a lens-shaped tab
    hanging under its right end behind the link label (an elliptic arc
    met by small fillets)."""
    t = np.clip(np.abs(x - TAB_CX) / TAB_HW, 0, 1.5)
    g = TAB_DEPTH * np.sign(1 - t) * np.abs(1 - t * t) ** 0.62
    k = 2.6                                  # fillet softness in pixels
    return BAND_H + k * np.logaddexp(0, g / k)


def cluster(cx, cy, r):
    """Centres of three pointy-top cells of radius r packed into a triangle
    around (cx, cy): two below, one on top."""
    s3 = np.sqrt(3)
    return [(cx - s3 / 2 * r, cy + 0.75 * r), (cx + s3 / 2 * r, cy + 0.75 * r),
            (cx, cy - 0.75 * r)]


def hex_walls(x, y, r):
    """Signed distance to the nearest hex wall (0 on the wall)."""
    sx, sy = np.sqrt(3) * r, 1.5 * r
    row0 = np.floor(y / sy)
    inner = np.full(x.shape, 1e9)
    for dr in (-1, 0, 1):
        row = row0 + dr
        off = np.where(np.mod(row, 2) == 1, sx / 2, 0)
        col0 = np.floor((x - off) / sx)
        for dc in (-1, 0, 1):
            cx = (col0 + dc) * sx + off + sx / 2
            cy = row * sy + r
            px, py = np.abs(x - cx), np.abs(y - cy)
            # pointy-top hexagon "radius" measure (apothem units)
            d = np.maximum(px, px * 0.5 + py * np.sqrt(3) / 2)
            inner = np.minimum(inner, d)
    return np.sqrt(3) / 2 * r - inner     # >= 0 inside the nearest cell


def metal(w, h, seed, profile=METAL_PROFILE, strength=1.0):
    """Light brushed aluminium: vertical shade plus horizontal grain."""
    x, y = grid(w, h)
    base = vgrad(y, profile)
    rng = np.random.RandomState(seed)
    long_ = blur_rows(rng.normal(size=(h, w + 240)), 28.0)[:, 120:120 + w]
    long_ /= long_.std()
    fine = blur_rows(rng.normal(size=(h, w + 16)), 1.4)[:, 8:8 + w]
    fine /= fine.std()
    rows = rng.normal(size=(h, 1)) * 0.45
    # sparse, faint bright hairlines, as left by a brush
    hair = np.zeros((h, w + 400))
    for _ in range(int(h * w / 2600)):
        r = rng.randint(0, h)
        c = rng.randint(0, w + 400)
        ln = rng.randint(30, 160)
        hair[r, c:c + ln] += rng.uniform(0.6, 1.4)
    hair = blur_rows(hair, 6.0)[:, 200:200 + w]
    grain = (1.35 * long_ + 0.75 * fine + rows + 2.2 * hair) * strength
    return base + grain[..., None], x, y


def make_background(profile=METAL_PROFILE):
    img, x, y = metal(W, H, seed=2012, profile=profile, strength=1.25)
    cv = Canvas(W, H, img)

    # --- recessed well around the list view
    lx, ly, lw, lh = LIST
    box = sd_box(x, y, lx - 1, ly - 1, lx + lw + 1, ly + lh + 1, 1.0)
    outside = np.maximum(box, 0)
    glow = np.exp(-outside / 2.2) * (box > 0)
    up_left = np.clip(((lx + lw / 2) - x) / lw + ((ly + lh / 2) - y) / lh, -1, 1)
    cv.shade(glow * 0.10, (90, 92, 104))
    ring = cover(np.abs(box - 0.5) - 0.5)
    cv.shade(ring * (0.32 + 0.12 * up_left), (120, 122, 132))
    hl = cover(np.abs(box - 1.5) - 0.5) * np.clip(-up_left * 1.5 + 0.2, 0, 1)
    cv.shade(hl * 0.75, (255, 255, 255))

    # --- engraved rule between the list and the totals, and a short
    #     upright one between the totals and the step hints
    fade_h = smooth(lx, lx + 60, x) * (1 - smooth(lx + lw - 60, lx + lw, x))
    cv.shade(cover(np.abs(y - 306.5) - 0.5) * fade_h * 0.30, (110, 112, 122))
    cv.shade(cover(np.abs(y - 307.5) - 0.5) * fade_h * 0.85, (255, 255, 255))
    fade_v = smooth(312, 330, y) * (1 - smooth(362, 380, y))
    cv.shade(cover(np.abs(x - 327.5) - 0.5) * fade_v * 0.28, (110, 112, 122))
    cv.shade(cover(np.abs(x - 328.5) - 0.5) * fade_v * 0.85, (255, 255, 255))

    # --- the emblem, faintly stamped into the metal below the left column
    def stamp_at(dy):
        return np.minimum.reduce([sd_polygon(x, y - dy, hexagon(px, py, 8.2))
                                  for px, py in cluster(61.0, 364.0, 9.0)])
    stamp = stamp_at(0.0)
    cv.shade(cover(np.abs(stamp_at(1.0)) - 0.5) * 0.80, (255, 255, 255))
    cv.shade(cover(np.abs(stamp) - 0.5) * 0.22, (96, 96, 110))
    cv.shade(cover(stamp) * 0.035, (120, 110, 170))

    # --- title band with its lens-shaped tab
    b = band_contour(x)
    slope = np.gradient(band_contour(np.arange(W) + 0.5))[None, :]
    d = (y - b) / np.sqrt(1 + slope ** 2)          # < 0 inside the band
    inside = cover(d)
    # drop shadow of the band onto the metal
    cv.shade(np.exp(-np.maximum(d, 0) / 2.6) * (d > 0) * 0.22, (70, 60, 110))

    band = vgrad(y, [(0, LAV_TOP), (9, (223, 216, 248)), (BAND_H, LAV_LOW)])
    # the tab is lit like a lens: lighter toward its middle, where the link is
    e = np.hypot((x - TAB_CX) / 62.0, (y - 45.0) / 12.5)
    lens = (1 - smooth(0.15, 1.05, e)) * smooth(BAND_H - 8, BAND_H + 2, y)
    band = band * (1 - 0.85 * lens[..., None]) + np.array([234, 230, 252.0]) * 0.85 * lens[..., None]
    cv.fill(inside, band)

    # glassy upper half
    gloss = (1 - smooth(1, 15, y)) * 0.30
    cv.shade(gloss * inside, (255, 255, 255))

    # faint honeycomb watermark across the middle of the band
    hw = hex_walls(x + 7, y + 11, 9.0)
    wall = cover(hw - 0.55, 0.9)
    fade = smooth(170, 300, x) * (1 - smooth(380, 470, x)) * (1 - smooth(20, BAND_H, y))
    cv.shade(wall * fade * 0.13 * inside, (255, 255, 255))

    # lower edge: inner highlight, then a fine dark line on the contour
    cv.shade(cover(np.abs(d + 1.5) - 0.5) * 0.55, (250, 248, 255))
    cv.shade(cover(np.abs(d + 0.5) - 0.5) * 0.70, LAV_EDGE)
    cv.shade(cover(np.abs(d - 0.5) - 0.5) * 0.35, (255, 255, 255))

    # --- window edge: dark outline with an inner highlight (the client
    #     area is one row shorter than the picture)
    edge = np.minimum.reduce([x, y, W - x, np.maximum(CLIENT_H - y, 0)])
    outline = np.where((y < b)[..., None], LAV_EDGE * 0.85, np.array([128, 128, 134.0]))
    cv.fill(cover(edge - 1.0), outline)
    cv.shade(cover(np.abs(edge - 1.5) - 0.5) * 0.55, (255, 255, 255))
    return cv.rgb_image()


def slot_means(img):
    a = np.asarray(img, float)
    return [a[top:bottom + 1, 13:111].reshape(-1, 3).mean(axis=0)
            for top, bottom, _ in SLOTS]


def fitted_background(rounds=3):
    """Nudges the shade anchors until the picture, averaged over each button
    slot, matches the buttons' border colours (JPEG adds about one level)."""
    profile = [(row, np.array(c, float)) for row, c in METAL_PROFILE]
    anchors = [[2, 3], [4], [6], [7], [8], [9]]      # profile rows per slot
    for _ in range(rounds):
        img = make_background(profile)
        got = slot_means(img)
        for (_, _, want), g, idx in zip(SLOTS, got, anchors):
            for i in idx:
                profile[i] = (profile[i][0], profile[i][1] + (np.array(want) - g))
    return make_background(profile)


def round_button(bg, glyph, hover=False, pressed=False):
    """24x24 round grey button drawn over the background crop bg."""
    cv = Canvas(24, 24, np.asarray(bg, float))
    x, y = cv.x, cv.y
    cx, cy, r = 12.0, 12.0, 10.6
    disc = sd_circle(x, y, cx, cy, r)
    # seated in the band: soft shadow above-left, light catch below
    sh = sd_circle(x, y, cx, cy + 0.7, r + 0.3)
    cv.shade(np.exp(-np.maximum(sh, 0) / 1.0) * (sh > 0) * 0.35, (64, 54, 104))
    cv.shade(cover(np.abs(disc - 0.9) - 0.5) * smooth(10, 22, y) * 0.55, (255, 255, 255))
    rim = vgrad(y, [(1.5, (128, 126, 142)), (22.5, (66, 64, 80))])
    cv.fill(cover(disc), rim)
    if pressed:
        body = vgrad(y, [(2.5, (146, 146, 156)), (12, (178, 178, 186)),
                         (21.5, (214, 214, 220))])
    else:
        body = vgrad(y, [(2.5, (242, 242, 246)), (12, (204, 204, 211)),
                         (21.5, (150, 150, 160))])
    cv.fill(cover(disc + 1.0), body)
    if pressed:
        cv.shade(cover(np.abs(disc + 1.6) - 0.6) * (1 - smooth(5, 13, y)) * 0.35,
                 (50, 50, 62))
    else:
        # gloss across the upper half, and reflected light low on the rim
        gl = np.hypot((x - cx) / 7.8, (y - 7.0) / 4.9) - 1.0
        cv.shade(cover(gl * 5.0) * (1 - smooth(3.5, 11.5, y)) * 0.60, (255, 255, 255))
        cv.shade(cover(np.abs(disc + 1.5) - 0.5) * smooth(12, 21, y) * 0.40,
                 (255, 255, 255))

    if glyph == "cross":
        k = 4.2
        segs = [(cx - k, cy - k, cx + k, cy + k), (cx + k, cy - k, cx - k, cy + k)]
        rad = 1.45
    elif glyph == "dash":
        segs = [(cx - 4.6, cy, cx + 4.6, cy)]
        rad = 1.5
    else:  # the smaller dash of the pressed state
        segs = [(cx - 3.1, cy + 0.5, cx + 3.1, cy + 0.5)]
        rad = 1.3

    def glyph_sd(dx=0.0, dy=0.0):
        return np.minimum.reduce([sd_segment(x - dx, y - dy, *sg, rad) for sg in segs])

    g = glyph_sd()
    if hover:
        cv.shade(cover(glyph_sd(0, 0.9) - 0.6) * 0.30, (255, 255, 255))
        cv.fill(cover(g - 0.9) * 0.90, (96, 64, 0))          # dark outline
        cv.fill(cover(g), vgrad(y, [(7, (255, 240, 120)), (17, (248, 180, 0))]))
    else:
        cv.shade(cover(glyph_sd(0, 0.9)) * 0.55, (255, 255, 255))   # emboss
        cv.fill(cover(g), vgrad(y, [(7, (52, 52, 60)), (17, (8, 8, 12))]))
    return cv.rgb_image()


def draw_icon(size):
    """Three honeycomb cells pressed into a tight cluster: two lavender,
    one silver on top.  Drawn at 4x and reduced."""
    ss = 4
    n = size * ss
    cv = Canvas(n, n)
    x, y = cv.x, cv.y
    u = n / 48.0                        # design units: 48 per icon
    cx, cy = 24 * u, 24.4 * u
    r = 12.3 * u
    if size <= 16:      # whole-pixel walls: outer sides at x 2 and 15, shared wall on x 8
        cx, r = 8.5 * ss, 6.5 * ss / np.sqrt(3)
    small = size <= 16
    px1 = ss                            # one output pixel, in sub-pixels
    if small:   # cells share their walls, outlines snap to whole pixels
        gap, outer, inner = 0.0, 1.0 * px1, 0.5 * px1
    else:
        gap, outer, inner = 1.0 * u, 1.5 * u, 1.5 * u
    centres = cluster(cx, cy, r)
    cells = [sd_polygon(x, y, hexagon(px, py, r - gap)) for px, py in centres]
    union = np.minimum.reduce(cells)
    # contact shadow
    sd_shadow = np.minimum.reduce([sd_polygon(x, y, hexagon(px + 0.5 * u, py + 1.3 * u, r - gap))
                                   for px, py in centres])
    cv.fill(np.exp(-np.maximum(sd_shadow, 0) / (1.3 * u)) * (0.30 if not small else 0.16),
            (40, 30, 70))
    looks = [  # (edge colour, top colour, bottom colour)
        ((70, 50, 128), (214, 204, 248), (140, 120, 212)),
        ((70, 50, 128), (200, 188, 243), (122, 100, 200)),
        ((78, 80, 98), (248, 248, 252), (164, 166, 182)),
    ]
    for (px, py), d, (edge, top, bottom) in zip(centres, cells, looks):
        cv.fill(cover(d, ss), edge)
        body = np.maximum(d + inner, union + outer)
        cv.fill(cover(body, ss), vgrad((y - py) / r, [(-1, top), (1, bottom)]))
        # glassy highlight over the upper part of the cell
        glass = np.maximum(d + inner + 0.8 * u, union + outer + 0.8 * u)
        lift = 1 - smooth(py - 0.9 * r, py + 0.05 * r, y)
        cv.shade(cover(glass, ss) * lift * (0.55 if not small else 0.40), (255, 255, 255))
        if not small:
            # reflected light along the lower walls
            cv.shade(cover(np.abs(d + outer + 0.9 * u) - 0.45 * u, ss)
                     * smooth(py + 0.1 * r, py + 0.8 * r, y) * 0.45, (255, 255, 255))
    img = cv.image()
    return img.resize((size, size), Image.BOX)


def make_banner():
    bw, bh = 360, 50
    x, y = grid(bw, bh)
    cv = Canvas(bw, bh, vgrad(y, [(0, LAV_TOP), (12, (222, 215, 247)),
                                  (bh - 3, LAV_LOW)]))
    cv.shade((1 - smooth(1, 22, y)) * 0.30, (255, 255, 255))
    # honeycomb watermark, fading to the right
    hw = hex_walls(x + 3, y + 6, 11.0)
    fade = smooth(150, 260, x) * (1 - smooth(345, 360, x)) * 0.7 + smooth(240, 330, x) * 0.3
    cv.shade(cover(hw - 0.6, 0.9) * fade * 0.16, (255, 255, 255))
    # lower edge like the title band's
    cv.shade(cover(np.abs(y - (bh - 2.5)) - 0.5) * 0.55, (250, 248, 255))
    cv.fill(cover(np.abs(y - (bh - 0.5)) - 0.5) * 0.80, LAV_EDGE)

    # emblem, drawn at 4x and reduced
    em = draw_icon(40)
    base = cv.rgb_image().convert("RGBA")
    base.alpha_composite(em, (12, 5))

    # maker's name: engraved dark violet on lavender
    text = "Tolvik Software"
    ss = 4
    big = ImageFont.truetype(FONTS + "DejaVuSans-Bold.ttf", 23 * ss)
    tx, ty = 62, 11
    mask = Image.new("L", (bw * ss, bh * ss), 0)
    ImageDraw.Draw(mask).text((tx * ss, ty * ss), text, font=big, fill=255)
    mask = np.asarray(mask.resize((bw, bh), Image.BOX), float) / 255.0
    out = Canvas(bw, bh, np.asarray(base.convert("RGB"), float))
    under = np.roll(mask, 1, axis=0)
    out.shade(under * 0.75, (255, 255, 255))
    tcol = vgrad(y, [(ty + 3, (92, 72, 150)), (ty + 20, (50, 34, 100))])
    out.fill(mask, tcol)
    return out.rgb_image()


# ------------------------------------------------------------ preview

def make_preview(bg, buttons, path):
    img = bg.convert("RGB").copy()
    img.paste(buttons["min"], MIN_AT)
    img.paste(buttons["close_hover"], CLOSE_AT)
    dr = ImageDraw.Draw(img)
    f = ImageFont.truetype(FONTS + "DejaVuSans.ttf", 11)
    fb = ImageFont.truetype(FONTS + "DejaVuSans-Bold.ttf", 11)
    fbt = ImageFont.truetype(FONTS + "DejaVuSans-Bold.ttf", 12)
    dr.text((17, 12), "Tolvik Hivara 2.1", font=fbt, fill=(0, 0, 0))
    dr.text((436, 38), "www.tolvik.com", font=f, fill=(0, 0, 255))
    dr.text((13, 67), "Main", font=fb, fill=(0, 0, 0))
    dr.line([(11, 85), (110, 85)], fill=(153, 180, 209))
    dr.text((13, 193), "Help", font=fb, fill=(0, 0, 0))
    dr.line([(11, 213), (110, 213)], fill=(153, 180, 209))
    buttons_ = [("Analyze Registry", 13, 93, 94, SLOTS[0][2], True, True),
                ("Defrag Registry", 13, 122, 91, SLOTS[0][2], False, False),
                ("Options", 12, 151, 56, SLOTS[1][2], False, True),
                ("Language", 16, 221, 64, SLOTS[2][2], False, True),
                ("Help", 16, 252, 37, SLOTS[3][2], False, True),
                ("Exit", 16, 283, 35, SLOTS[4][2], False, True)]
    for cap, bx, by, bw_, col, hot, enabled in buttons_:
        if hot:
            dr.rectangle([bx, by, bx + bw_ - 1, by + 24], fill=(192, 192, 192), outline=col)
        tw = dr.textlength(cap, font=f)
        dr.text((bx + (bw_ - tw) / 2, by + 6), cap, font=f,
                fill=(0, 0, 0) if enabled else (150, 150, 150))
    # list view
    lx, ly, lw, lh = LIST
    dr.rectangle([lx, ly, lx + lw - 1, ly + lh - 1], fill=(255, 255, 255), outline=(130, 135, 144))
    dr.rectangle([lx + 1, ly + 1, lx + lw - 2, ly + 22], fill=(246, 247, 249))
    dr.line([(lx + 1, ly + 23), (lx + lw - 2, ly + 23)], fill=(213, 213, 213))
    cols = [("Hive Name", 205, "l"), ("Current Size", 72, "r"), ("New Size", 70, "r"),
            ("Reduction", 65, "r")]
    rows = [("\\REGISTRY\\MACHINE\\SYSTEM", "12,288 KB", "10,944 KB", "1,344 KB"),
            ("\\REGISTRY\\MACHINE\\SOFTWARE", "41,984 KB", "37,120 KB", "4,864 KB"),
            ("\\REGISTRY\\MACHINE\\SAM", "256 KB", "24 KB", "232 KB"),
            ("\\REGISTRY\\MACHINE\\SECURITY", "256 KB", "36 KB", "220 KB"),
            ("\\REGISTRY\\USER\\.DEFAULT", "512 KB", "228 KB", "284 KB"),
            ("\\REGISTRY\\MACHINE\\HARDWARE", "0 KB", "0 KB", "0 KB"),
            ("\\REGISTRY\\USER\\S-1-5-19", "256 KB", "200 KB", "56 KB"),
            ("\\REGISTRY\\USER\\S-1-5-20", "256 KB", "204 KB", "52 KB"),
            ("\\REGISTRY\\USER\\S-1-5-21-1004", "1,280 KB", "1,036 KB", "244 KB")]
    cx_ = lx + 1
    for i, (name, cw, al) in enumerate(cols):
        dr.line([(cx_ + cw - 1, ly + 2), (cx_ + cw - 1, ly + 21)], fill=(229, 229, 229))
        tw = dr.textlength(name, font=f)
        tx = cx_ + 6 if al == "l" else cx_ + cw - 6 - tw
        dr.text((tx, ly + 5), name, font=f, fill=(30, 57, 91))
        for j, row in enumerate(rows):
            ry = ly + 25 + j * 17
            tw = dr.textlength(row[i], font=f)
            tx = cx_ + 4 if al == "l" else cx_ + cw - 6 - tw
            dr.text((tx, ry + 2), row[i], font=f, fill=(0, 0, 0))
        cx_ += cw
    for j in range(len(rows) + 1):
        ry = ly + 24 + j * 17 + 17
        dr.line([(lx + 1, ry), (lx + lw - 2, ry)], fill=(240, 240, 240))
    labels = [("Current Registry Size:", 116, 312), ("New Registry Size:", 116, 330),
              ("Size Reduction:", 116, 348), ("Compact Percent:", 117, 366),
              ("Step Hint:", 342, 312), ("1. Analyze the Windows registry.", 353, 330),
              ("2. Review the analyzing result.", 353, 348),
              ("3. Defrag the registry and restart the pc.", 353, 366)]
    for t, tx, ty in labels:
        dr.text((tx, ty), t, font=f, fill=(0, 0, 0))
    for t, ty in [("57,344 KB", 312), ("49,792 KB", 330), ("7,552 KB", 348), ("13.17 %", 366)]:
        tw = dr.textlength(t, font=f)
        dr.text((222 + 70 - tw, ty), t, font=f, fill=(0, 0, 0))

    # below the window: a mock About box and the small pieces enlarged
    sheet = Image.new("RGB", (W, H + 265), (200, 200, 204))
    sheet.paste(img, (0, 0))
    about = Image.new("RGB", (360, 249), (240, 240, 240))
    about.paste(Image.open(os.path.join(RES, "banner.jpg")), (0, 0))
    about.paste(Image.open(os.path.join(RES, "icon32.bmp")), (20, 61))
    da = ImageDraw.Draw(about)
    for t, ty in [("Tolvik Hivara", 62), ("Version: 2.1   Build 20120525", 84),
                  ("Copyright (C) 2009-2012 Tolvik Software", 129),
                  ("Support: support@tolvik.com", 152)]:
        da.text((80, ty), t, font=f, fill=(0, 0, 0))
    da.line([(80, 176), (341, 176)], fill=(160, 160, 160))
    da.line([(80, 177), (341, 177)], fill=(255, 255, 255))
    da.text((80, 186), "www.tolvik.com", font=f, fill=(0, 0, 255))
    da.rectangle([256, 211, 335, 237], fill=(225, 225, 225), outline=(112, 112, 112))
    da.text((285, 218), "OK", font=f, fill=(0, 0, 0))
    sheet.paste(about, (8, H + 8))
    xo, yo = 378, H + 8
    for i, key in enumerate(("min", "min_hover", "min_down", "close", "close_hover")):
        sheet.paste(buttons[key].resize((48, 48), Image.NEAREST),
                    (xo + (i % 3) * 56, yo + (i // 3) * 56))
    yo += 120
    for s_ in (16, 32, 48):
        im = draw_icon(s_)
        sheet.paste(im, (xo, yo), im)
        xo += s_ + 10
    big = draw_icon(48).resize((96, 96), Image.NEAREST)
    sheet.paste(big, (xo, yo), big)
    sheet.save(path)


# ------------------------------------------------------------ main

def main(argv):
    preview = "/tmp/art-preview.png"
    if "--no-preview" in argv:
        preview = None
    if "--preview" in argv:
        preview = argv[argv.index("--preview") + 1]
    os.makedirs(RES, exist_ok=True)

    write_jpeg(os.path.join(RES, "background.jpg"), fitted_background())
    bg = Image.open(os.path.join(RES, "background.jpg")).convert("RGB")

    def crop(at):
        return bg.crop((at[0], at[1], at[0] + 24, at[1] + 24))

    buttons = {
        "close": round_button(crop(CLOSE_AT), "cross"),
        "close_hover": round_button(crop(CLOSE_AT), "cross", hover=True),
        "min": round_button(crop(MIN_AT), "dash"),
        "min_hover": round_button(crop(MIN_AT), "dash", hover=True),
        "min_down": round_button(crop(MIN_AT), "small", hover=True, pressed=True),
    }
    for k, im in buttons.items():
        write_bmp24(os.path.join(RES, k + ".bmp"), im)

    write_jpeg(os.path.join(RES, "banner.jpg"), make_banner())

    icons = [draw_icon(s) for s in (16, 32, 48)]
    write_ico(os.path.join(RES, "hivara.ico"), icons)
    face = Image.new("RGBA", (32, 32), (240, 240, 240, 255))
    face.alpha_composite(icons[1])
    write_bmp24(os.path.join(RES, "icon32.bmp"), face)

    # how closely the panel follows the buttons' border colours
    a = np.asarray(bg, float)
    for (top, bottom, want), got in zip(SLOTS, slot_means(bg)):
        rim = np.concatenate([a[top, 13:111], a[bottom, 13:111]]).mean(axis=0)
        print("slot %3d..%3d want %s mean %s rows %s" % (
            top, bottom, want, tuple(np.round(got, 1)), tuple(np.round(rim, 1))))
    if preview:
        make_preview(bg, buttons, preview)
        print("preview:", preview)


if __name__ == "__main__":
    main(sys.argv[1:])
