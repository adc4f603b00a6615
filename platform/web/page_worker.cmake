# Writes DIR/sw.js from SRC with the build's version in its cache name: the
# SHA-256 of everything the worker keeps, so any change of any file is a new build.
set(all "")
foreach(name files.json index.html manifest.webmanifest icon-192.png icon-512.png order.html faq.html)
  file(SHA256 "${DIR}/${name}" hash)
  string(APPEND all "${name} ${hash}\n")
endforeach()
string(SHA256 version "${all}")
string(SUBSTRING "${version}" 0 16 version)
file(READ "${SRC}" text)
string(REPLACE "@PAGE_VERSION@" "${version}" text "${text}")
file(WRITE "${DIR}/sw.js" "${text}")
