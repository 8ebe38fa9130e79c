#!/usr/bin/env bash
# objtool end to end: help, the built file's summary (and what it says of the
# objects objgen made), re-importing the generated scene gives the same bytes,
# and bad input fails with a message.
set -u
tool="$QN_BIN_DIR/tools/objtool/objtool"
gen="$QN_BIN_DIR/tools/objgen/objgen"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

grep -q "objtool import" <<<"$(timeout -k 5 20 "$tool" --help)" || fail "--help"
summary=$(timeout -k 5 20 "$tool" summary "$QN_DATA_DIR/objs.3dw") || fail "summary status"
echo "$summary"
grep -q ": 2 objects, 2 shade ramps" <<<"$summary" || fail "summary counts"
grep -q '"Knot": .* smooth$' <<<"$summary" || fail "first object smooth"
grep -q '"StarRing": .* flat$' <<<"$summary" || fail "second object flat"
# Sized for scene 5's camera (focal 200, objects at 500, so 0.8 rows a unit
# of bound radius): a diameter covers a quarter to a half of the 240 rows, and
# the closest approach (z = 0) stays behind the near plane at 200. Within the
# engine's limits, in two colours.
echo "$summary" | awk '
  / vertices, / { if ($4 < 300 || $4 > 2500 || $6 > 3000) bad = bad "\n" $0 }
  / radii: / { rows = 0.8 * $5; if (rows < 60 || rows > 120 || $7 >= 300) bad = bad "\n" $0 }
  / colours: / { colour[++n] = $2 }
  END { if (n != 2 || colour[1] == colour[2]) bad = bad "\ncolours"
        if (bad) { print bad; exit 1 } }' ||
  fail "the built objects do not fit scene 5"

timeout -k 5 20 "$gen" "$work/a.ase" || fail "objgen"
timeout -k 5 20 "$gen" "$work/b.ase" || fail "objgen again"
cmp -s "$work/a.ase" "$work/b.ase" || fail "objgen is not deterministic"
timeout -k 5 20 "$tool" import -o "$work/o.3dw" --smooth Knot "$work/a.ase" || fail "import"
cmp -s "$work/o.3dw" "$QN_DATA_DIR/objs.3dw" || fail "re-import differs from the build's file"

# The preview: a row of pictures per object, each with the object on it (many
# colours: shaded, not flat blobs), and only the object asked for.
timeout -k 5 60 "$tool" preview "$QN_DATA_DIR/objs.3dw" -o "$work/p.png" || fail "preview"
timeout -k 5 60 "$tool" preview "$QN_DATA_DIR/objs.3dw" -o "$work/p1.png" --object 1 --frames 2 ||
  fail "preview --object"
if command -v identify > /dev/null; then
  [ "$(identify -format '%wx%h' "$work/p.png")" = 1948x492 ] || fail "preview sheet size"
  [ "$(identify -format '%wx%h' "$work/p1.png")" = 652x248 ] || fail "preview --object size"
  [ "$(identify -format '%k' "$work/p1.png")" -gt 50 ] || fail "preview shows no shading"
fi

expect_error() {  # expect_error pattern command...
  local pattern=$1; shift
  out=$(timeout -k 5 20 "$@" 2>&1); status=$?
  [ $status -eq 1 ] || fail "$* exited $status"
  grep -q "$pattern" <<<"$out" || fail "$*: no message matching '$pattern' in: $out"
}
printf 'garbage' > "$work/bad.3dw"
expect_error "wrong magic" "$tool" summary "$work/bad.3dw"
expect_error "cannot open" "$tool" summary "$work/missing.3dw"
head -c 3000 "$work/a.ase" > "$work/cut.ase"
expect_error "ends inside an object, at \*MESH_VERTEX [0-9]* of object \"Knot\"" "$tool" import -o "$work/x.3dw" "$work/cut.ase"
[ ! -e "$work/x.3dw" ] || fail "a failed import left a file"
expect_error 'no object named "Nope"' "$tool" import -o "$work/x.3dw" --smooth Nope "$work/a.ase"
expect_error "needs -o" "$tool" import "$work/a.ase"
expect_error "has 2 objects: no such --object" "$tool" preview "$QN_DATA_DIR/objs.3dw" -o "$work/x.png" --object 2
expect_error "wrong magic" "$tool" preview "$work/bad.3dw" -o "$work/x.png"
expect_error "usage" "$tool" frobnicate
echo "objtool: all passed"
