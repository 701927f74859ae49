"""Byte-exact writers for the Windows picture formats the launcher loads:
a 24-bit bottom-up BMP for the window face and 32 x 32, 256-colour icons."""

import struct

PELS_PER_METRE = 3780  # 96 dots per inch


def bmp24(width, rows, scale=1):
    """rows: top row first, each width * 3 bytes in R, G, B order. A picture
    drawn at scale x says so in its resolution (96 dpi times scale)."""
    stride = (width * 3 + 3) & ~3
    height = len(rows)
    image = bytearray()
    for row in reversed(rows):  # bottom-up
        for x in range(width):
            image += bytes((row[x * 3 + 2], row[x * 3 + 1], row[x * 3]))
        image += bytes(stride - width * 3)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image),
                       PELS_PER_METRE * scale, PELS_PER_METRE * scale, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return head + info + bytes(image)


def _median_cut(colours, limit):
    """Deterministic median cut over a list of (colour, count)."""
    boxes = [sorted(colours)]
    while len(boxes) < limit:
        best, best_range, best_axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                values = [c[0][axis] for c in box]
                span = max(values) - min(values)
                if span > best_range:
                    best, best_range, best_axis = i, span, axis
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda c: (c[0][best_axis], c[0]))
        total, half, split = sum(c[1] for c in box), 0, 1
        for k, c in enumerate(box[:-1]):
            half += c[1]
            split = k + 1
            if half * 2 >= total:
                break
        boxes[best:best] = [box[:split], box[split:]]
    palette = []
    for box in boxes:
        weight = sum(c[1] for c in box)
        palette.append(tuple((sum(c[0][k] * c[1] for c in box) + weight // 2) // weight
                             for k in range(3)))
    return palette


def quantise(pixels, limit=255):
    """Palette of at most limit colours and one index per pixel (nearest)."""
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    if len(counts) <= limit:
        palette = sorted(counts)
    else:
        palette = _median_cut(list(counts.items()), limit)
    lookup = {}
    for c in counts:
        lookup[c] = min(range(len(palette)),
                        key=lambda i: sum((c[k] - palette[i][k]) ** 2 for k in range(3)))
    return palette, [lookup[p] for p in pixels]


def ico8(pixels, opaque, size=32):
    """A one-image .ico: 8 bits per pixel with a 256-entry palette plus the
    1-bit transparency mask. pixels: size*size RGB triples, top row first;
    opaque: size*size booleans. Transparent pixels use palette entry 0, which
    is black, so nothing is XORed onto the screen behind them."""
    shown = [p for p, o in zip(pixels, opaque) if o]
    palette, indices = quantise(shown, 255)
    palette = [(0, 0, 0)] + palette
    palette += [(0, 0, 0)] * (256 - len(palette))
    it = iter(indices)
    xor = [next(it) + 1 if o else 0 for o in opaque]

    colour_bytes = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    xor_bytes = bytearray()
    and_bytes = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        xor_bytes += bytes(xor[y * size:(y + 1) * size])
        bits = bytearray(mask_stride)
        for x in range(size):
            if not opaque[y * size + x]:
                bits[x >> 3] |= 0x80 >> (x & 7)
        and_bytes += bits

    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0,
                       len(xor_bytes) + len(and_bytes), 0, 0, 0, 0)
    resource = info + colour_bytes + bytes(xor_bytes) + bytes(and_bytes)
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size & 0xFF, size & 0xFF, 0, 0, 1, 8,
                        len(resource), 6 + 16)
    return head + entry + resource


def ico1(images):
    """An .ico of two-colour images, black and white, each with its 1-bit
    transparency mask: the form Windows has drawn pointers in since its
    first version, at an eighth of the bytes of 256 colours. images: (size,
    rows) pairs, rows top first, each a string or list of "." (clear), "#"
    (black) and "o" (white)."""
    resources = []
    for size, rows in images:
        stride = ((size + 31) // 32) * 4
        xor_bytes, and_bytes = bytearray(), bytearray()
        for row in reversed(rows):
            white, clear = bytearray(stride), bytearray(stride)
            for x, p in enumerate(row):
                if p == "o":
                    white[x >> 3] |= 0x80 >> (x & 7)
                elif p == ".":
                    clear[x >> 3] |= 0x80 >> (x & 7)
            xor_bytes += white
            and_bytes += clear
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0,
                           len(xor_bytes) + len(and_bytes), 0, 0, 2, 0)
        palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
        resources.append((size, info + palette + bytes(xor_bytes) + bytes(and_bytes)))
    head = struct.pack("<HHH", 0, 1, len(resources))
    offset = 6 + 16 * len(resources)
    entries = b""
    for size, resource in resources:
        entries += struct.pack("<BBBBHHII", size & 0xFF, size & 0xFF, 2, 0, 1, 1, len(resource), offset)
        offset += len(resource)
    return head + entries + b"".join(r for _, r in resources)
