#!/bin/sh
# epubcheck on every EPUB of one folder: fails on any fatal error, error or
# warning, and when the folder holds no EPUB at all.
#   epubcheck.sh EPUBCHECK_JAR FOLDER
set -u
jar=$1
folder=$2
if [ ! -f "$jar" ]; then
  echo "epubcheck is not installed ($jar); scripts/bootstrap installs it"
  exit 1
fi
found=0
failed=0
for epub in "$folder"/*.epub; do
  [ -f "$epub" ] || continue
  found=$((found + 1))
  echo "== $(basename "$epub")"
  if ! java -jar "$jar" --failonwarnings "$epub"; then
    failed=$((failed + 1))
  fi
done
if [ "$found" -eq 0 ]; then
  echo "no EPUB in $folder"
  exit 1
fi
echo "$found checked, $failed with errors or warnings"
[ "$failed" -eq 0 ]
