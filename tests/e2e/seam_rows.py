#!/usr/bin/python3
"""Counts the rows of a window, down one column, that break a solid colour run between the
first and last rows of the colour found at the given height: a seam between lines of a solid
selection. Usage: seam_rows.py WINDOW_ID X_FRACTION Y_FRACTION"""
import sys
from Xlib import X, display

window = display.Display().create_resource_object("window", int(sys.argv[1]))
geometry = window.get_geometry()
x = int(geometry.width * float(sys.argv[2]))
column = window.get_image(x, 0, 1, geometry.height, X.ZPixmap, 0xFFFFFFFF).data
pixels = [column[y * 4:y * 4 + 3] for y in range(geometry.height)]
colour = pixels[int(geometry.height * float(sys.argv[3]))]
rows = [y for y, pixel in enumerate(pixels) if pixel == colour]
print(sum(1 for y in range(rows[0], rows[-1] + 1) if pixels[y] != colour), rows[-1] - rows[0] + 1)
