# Sourced by fuzz.sh: builds the picture libraries that the logo loader hands its bytes to
# with the fuzzer's instrumentation, from the Debian sources of the very versions installed,
# so that the logo fuzzer sees their paths and their sanitizers see their faults.
# libwmf's source is not built: the mirror does not serve it, so WMF decoding stays opaque.

# The source packages, named by a binary package of each that the build already installs.
PO_FUZZ_LIB_PACKAGES=(libjpeg62-turbo-dev libuemf0 libemf2svg-dev)

# Fetches and unpacks the Debian source of each library into $1, with its own apt lists so
# that the machine's apt settings are left alone.
po_fuzz_lib_sources() {
  local dir=$1 apt="$1/apt" p specs=()
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$dir/src"
  cat >"$apt/src.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  local opts=(-qq -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt"
              -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")
  for p in "${PO_FUZZ_LIB_PACKAGES[@]}"; do
    specs+=("$(dpkg-query -W -f='${source:Package}=${source:Version}' "$p")")
  done
  if ! (apt-get "${opts[@]}" update && cd "$dir/src" &&
         apt-get "${opts[@]}" source --download-only "${specs[@]}") >"$apt/log" 2>&1; then
    cat "$apt/log"
    return 1
  fi
  local dsc
  for dsc in "$dir"/src/*.dsc; do
    # apt checked every file against the signed archive index; the uploaders' own
    # signatures, which dpkg-source would warn of, add nothing to that.
    (cd "$dir/src" && dpkg-source -x "$(basename "$dsc")") >"$apt/log" 2>&1 ||
      { cat "$apt/log"; return 1; }
  done
}

# Builds the libraries into $1 with the compile flags $2: libjpeg statically (the program
# links it directly), libUEMF and libemf2svg as shared libraries that find each other there.
po_fuzz_lib_build() {
  local out=$1 flags="$2 -fno-omit-frame-pointer -O1 -g" src="$1/src"
  mkdir -p "$out/lib" "$out/include"
  local jpeg uemf emf
  jpeg=$(ls -d "$src"/libjpeg-turbo-*/) && uemf=$(ls -d "$src"/libuemf-*/) &&
    emf=$(ls -d "$src"/libemf2svg-*/) || return 1
  CC=clang cmake -S "$jpeg" -B "$out/jpeg" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$flags" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF >/dev/null &&
    cmake --build "$out/jpeg" -j"$(nproc)" --target jpeg-static >/dev/null &&
    cp "$out/jpeg/libjpeg.a" "$out/lib/" &&
    cp "$jpeg"/{jpeglib.h,jmorecfg.h,jerror.h} "$out/jpeg/jconfig.h" "$out/include/" || return 1
  CC=clang cmake -S "$uemf" -B "$out/uemf" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$flags" >/dev/null 2>&1 &&
    cmake --build "$out/uemf" -j"$(nproc)" --target uemf >/dev/null 2>&1 &&
    cp -a "$out"/uemf/libuemf.so* "$out/lib/" && cp "$uemf"/*.h "$out/include/" || return 1
  CC=clang CXX=clang++ cmake -S "$emf" -B "$out/emf" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$flags -I$out/include" \
    -DCMAKE_SHARED_LINKER_FLAGS="-L$out/lib -Wl,-rpath,$out/lib" >/dev/null 2>&1 &&
    cmake --build "$out/emf" -j"$(nproc)" --target emf2svg >/dev/null 2>&1 &&
    cp -a "$out"/emf/libemf2svg.so* "$out/lib/"
}

# Makes instrumented libraries in $1 for the compile flags $2 unless they are there already
# for these versions and flags; prints the CMake settings that point a build at them. Prints
# nothing when they cannot be made, and the build then uses the system's.
po_fuzz_libs() {
  local out=$1 flags=$2 stamp p
  for p in "${PO_FUZZ_LIB_PACKAGES[@]}"; do
    stamp+="$(dpkg-query -W -f='${source:Package} ${source:Version}' "$p"); "
  done
  stamp+="$flags"
  if [ "$(cat "$out/stamp" 2>/dev/null)" != "$stamp" ]; then
    po_stage "Building the picture libraries with '$flags' in $out" >&2
    rm -rf "$out"
    if ! { po_fuzz_lib_sources "$out" && po_fuzz_lib_build "$out" "$flags"; } >&2; then
      echo "WARNING: the picture libraries could not be built; the logo fuzzer sees" \
        "only the system's, uninstrumented" >&2
      return 0
    fi
    echo "$stamp" >"$out/stamp"
  fi
  echo "-DJPEG_LIBRARY=$out/lib/libjpeg.a -DJPEG_INCLUDE_DIR=$out/include" \
    "-DEMF2SVG_LIBRARY=$out/lib/libemf2svg.so -DUEMF_LIBRARY=$out/lib/libuemf.so"
}
