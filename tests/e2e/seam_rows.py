#!/usr/bin/python3
"""Usage: seam_rows.py WINDOW X Y (fractions of its size). Down the column at X, counts the rows
that break the run of the colour at Y between its first and last rows, and the run's length."""
import sys
from Xlib import X, display

window = display.Display().create_resource_object("window", int(sys.argv[1]))
width, height = window.get_geometry().width, window.get_geometry().height
column = window.get_image(int(width * float(sys.argv[2])), 0, 1, height, X.ZPixmap, 0xFFFFFFFF).data
pixels = [column[y * 4:y * 4 + 3] for y in range(height)]
colour = pixels[int(height * float(sys.argv[3]))]
rows = [y for y, pixel in enumerate(pixels) if pixel == colour]
print(sum(1 for y in range(rows[0], rows[-1] + 1) if pixels[y] != colour), rows[-1] - rows[0] + 1)
