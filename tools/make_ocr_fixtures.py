#!/usr/bin/python3
"""Draws the OCR test fixtures (committed under tests/data/) and prints where each line was drawn.

Needs Debian's python3-pil, fonts-dejavu-core and fonts-wqy-microhei; run it once, by hand:
    /usr/bin/python3 tools/make_ocr_fixtures.py tests/data
"""
import sys
from PIL import Image, ImageDraw, ImageFont

out = sys.argv[1]
latin = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 40)
cjk = ImageFont.truetype("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", 44)

def draw(name, lines, font, size=(900, 420)):
    image = Image.new("RGB", size, (246, 246, 248))
    pen = ImageDraw.Draw(image)
    for text, (x, y) in lines:
        pen.text((x, y), text, font=font, fill=(20, 20, 24))
        print(name, repr(text), pen.textbbox((x, y), text, font=font))
    image.save(f"{out}/{name}")

draw("ocr_english.png", [("Open Settings", (60, 50)), ("Battery 87 percent", (60, 170)),
                         ("Sign Out", (60, 290))], latin)
draw("ocr_chinese.png", [("设置", (60, 60)), ("无线局域网", (60, 200))], cjk, (700, 330))
Image.new("RGB", (400, 300), (255, 255, 255)).save(f"{out}/ocr_blank.png")
