#!/usr/bin/env sh
# Draws the window's two pictures with ImageMagick; their output is committed beside this script:
# anschriftenwandler.ico (an address card and an arrow; 16, 24, 32, 48 pixels) and open-folder.bmp
# (the folder button's 16 x 15 picture, 16 colours; its greys become the button's 3D colours).
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/folder.xpm" <<'EOF'
/* XPM */
static char *folder[] = {
"16 15 6 1",
"  c #C0C0C0",
". c #000000",
"y c #FFFF00",
"w c #FFFFFF",
"o c #808000",
"g c #808080",
"                ",
"          ...   ",
"         .   . .",
"              ..",
" ...         ...",
".www.......     ",
".wyywywywy.     ",
".wywywywyw.     ",
".wywyw..........",
".wyw.oooooooooo.",
".wy.oooooooooo. ",
".w.oooooooooo.  ",
"..oooooooooo.   ",
"...........     ",
"                ",
};
EOF
convert "$work/folder.xpm" -type Palette BMP3:open-folder.bmp

convert -size 256x256 xc:none \
  -fill '#ffffff' -stroke '#2f4f7f' -strokewidth 12 -draw 'roundrectangle 14,40 242,216 22,22' \
  -stroke none -fill '#2f6fbf' -draw 'roundrectangle 20,46 236,84 14,14' -draw 'rectangle 20,70 236,84' \
  -fill '#5a7fa8' -draw 'circle 78,124 78,146' -draw 'ellipse 78,194 44,30 180,360' \
  -fill '#9aa7b5' -draw 'rectangle 136,112 214,124' -draw 'rectangle 136,140 214,152' -draw 'rectangle 136,168 196,180' \
  -fill '#2e9a3a' -stroke '#1d6a26' -strokewidth 6 \
  -draw 'polygon 128,196 184,196 184,168 242,220 184,250 184,232 128,232' \
  "$work/icon256.png"
for size in 16 24 32 48; do
  convert "$work/icon256.png" -filter Lanczos -resize "${size}x${size}" "$work/icon$size.png"
done
convert "$work/icon16.png" "$work/icon24.png" "$work/icon32.png" "$work/icon48.png" anschriftenwandler.ico
