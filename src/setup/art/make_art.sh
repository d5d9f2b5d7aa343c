#!/bin/sh
# Draws the installer's pictures with ImageMagick. Run from this folder.
set -e
BOLD=DejaVu-Sans-Bold
REG=DejaVu-Sans

disc() { # disc emblem at centre $1,$2 radius $3
    cx=$1; cy=$2; r=$3
    echo "fill #c9d3df stroke #7a8ea6 stroke-width 1 circle $cx,$cy $((cx + r)),$cy \
fill #e9eef4 stroke none circle $cx,$cy $((cx + r * 3 / 4)),$cy \
fill none stroke #2f6db5 stroke-width 3 circle $cx,$cy $((cx + r * 1 / 2)),$cy \
fill #ffffff stroke #7a8ea6 stroke-width 1 circle $cx,$cy $((cx + r / 6 + 1)),$cy"
}

page() { # page name, title, body lines...
    out=$1; title=$2; shift 2
    args=""
    y=46
    convert -size 337x112 gradient:'#ffffff-#dde8f4' \
        -draw "fill #2f6db5 rectangle 0,0 4,104" \
        -draw "fill #b7c8dc rectangle 0,103 337,104" \
        -draw "$(disc 302 34 24)" \
        -font $BOLD -pointsize 15 -fill '#1d3f66' -annotate +24+25 "$title" \
        /tmp/setup_art_$$.png
    for line in "$@"; do
        if [ "$line" = "-" ]; then y=$((y + 36)); continue; fi
        convert /tmp/setup_art_$$.png -font $REG -pointsize 10 -fill '#2b2b2b' \
            -annotate +24+$y "$line" /tmp/setup_art_$$.png
        y=$((y + 14))
    done
    convert /tmp/setup_art_$$.png -depth 8 -strip "$out"
    rm -f /tmp/setup_art_$$.png
}

button() { # name width height text from to border textcolour
    convert -size "$2x$3" xc:none \
        \( -size "$(($2 - 2))x$(($3 - 2))" gradient:"$5-$6" \) -geometry +1+1 -composite \
        \( -size "$2x$3" xc:none -fill none -stroke "$7" -strokewidth 1 \
           -draw "roundrectangle 0.5,0.5 $(($2 - 1)).5,$(($3 - 1)).5 4,4" \) -composite \
        -stroke none -font $BOLD -pointsize 10 -fill "$8" -gravity center -annotate +0+0 "$4" \
        -depth 8 -strip "$1"
}

rounded() { # clip a button's corners
    convert "$1" \( -size "$2x$3" xc:black -fill white \
        -draw "roundrectangle 0,0 $(($2 - 1)),$(($3 - 1)) 4,4" \) \
        -alpha off -compose CopyOpacity -composite -depth 8 -strip "$1"
}

page page0.png "Welcome" \
    "This program installs the CD on your computer" \
    "and starts it as soon as the files are copied." \
    "" \
    "Click Next to continue, or Exit to leave setup."
page page1.png "Destination folder" \
    "The files will be installed in this folder:" \
    "-" \
    "To choose another place, click the folder button."
page page2.png "Installing" \
    "Please wait while the files are copied." \
    "The program starts by itself when setup is done." \
    "" \
    "Click Exit to leave setup."

button next.png 73 26 "Next  >" '#4a8bd6' '#23599a' '#1b4a82' white
rounded next.png 73 26
button back.png 73 26 "<  Back" '#4a8bd6' '#23599a' '#1b4a82' white
rounded back.png 73 26
button exit.png 49 26 "Exit" '#f4f6f9' '#cfd8e3' '#7d8ea3' '#1d3f66'
rounded exit.png 49 26
button ok.png 105 26 "OK" '#4a8bd6' '#23599a' '#1b4a82' white
rounded ok.png 105 26

# Folder button: a yellow folder on a light tile.
convert -size 25x25 gradient:'#f8fafc-#d8e1eb' \
    -draw "fill none stroke #7d8ea3 roundrectangle 0.5,0.5 24.5,24.5 3,3" \
    -draw "fill #e0a526 stroke #9a6b0c stroke-width 1 polygon 5,8 10,8 12,10 20,10 20,18 5,18" \
    -draw "fill #f6c94f stroke #9a6b0c stroke-width 1 polygon 5,18 7,12 22,12 20,18" \
    -depth 8 -strip folder.png
rounded folder.png 25 25

# Window icon: the disc.
convert -size 64x64 xc:none -draw "$(disc 32 32 29)" -depth 8 -strip icon.png
