# Writes DIR/files.json: the size and SHA-256 of each file the page loads, so the
# page can refuse a download that did not arrive whole before the game reads it.
set(entries "")
foreach(name valimo.js valimo.wasm valimo.data)
  file(SIZE "${DIR}/${name}" size)
  file(SHA256 "${DIR}/${name}" hash)
  list(APPEND entries "  \"${name}\": {\"size\": ${size}, \"sha256\": \"${hash}\"}")
endforeach()
list(JOIN entries ",\n" body)
file(WRITE "${DIR}/files.json" "{\n${body}\n}\n")
