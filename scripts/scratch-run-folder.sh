# Sourced by the window tests: makes $work, a scratch copy of the run folder of
# build folder $build (binary, links to the pictures, sounds and fonts, sound
# on), so a test never touches the player's own files. Sets root, game, work.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
game="$root/$build/game"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for d in img soundfile fonts; do [ -e "$game/$d" ] && ln -s "$game/$d" "$work/$d"; done
cp "$game/swapsprint" "$work/"
printf '\x01\x01' > "$work/option"
