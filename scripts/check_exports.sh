#!/usr/bin/env bash
# scripts/check_exports.sh MODULE.so: fails when the module exports anything but its three
# entry points and the classes a host calls directly (with their type information and
# virtual tables). Template code of the standard library that the compiler emits as weak
# symbols is allowed: it is not the module's own.
set -euo pipefail
module=$1
allowed_classes='oxsymbols::Partslibrary(ItemBase|Item|CategoryItem|ImageItem|OlItem|List|UIData)'
allowed_classes+='|oxannotations::(SymbolAnnotationBase|SymbolAnnotation|SymbolAnnotationFlattened|Symbol2D|Symbol2DInfo'
allowed_classes+='|SymbolInfoBase|SymbolInfo|SymbolInfoFlattened|ConnectedPartInfo)'
# Demangled names, with the prefixes the compiler puts before a class's own name removed.
symbols=$(nm -D --defined-only -C "$module" | cut -d' ' -f3- |
  sed -E 's/^(typeinfo name for|typeinfo for|vtable for|VTT for|guard variable for|non-virtual thunk to|virtual thunk to) //')
if [ -z "$symbols" ]; then
  echo "check_exports: no exported symbols in $module" >&2
  exit 1
fi
unexpected=$(printf '%s\n' "$symbols" | grep -Ev "^(OXDllCreateComponent|OXDllInit|OXDllTerminate)$" |
  grep -Ev "^(${allowed_classes})(::|$|\[)" |
  grep -Ev "^([a-zA-Z_:<>*&, ]+ )?std::" || true)
if [ -n "$unexpected" ]; then
  echo "check_exports: $module exports internal symbols:" >&2
  printf '%s\n' "$unexpected" | sed 's/^/  /' >&2
  exit 1
fi
for entry in OXDllCreateComponent OXDllInit OXDllTerminate; do
  if ! printf '%s\n' "$symbols" | grep -qx "$entry"; then
    echo "check_exports: $module does not export $entry" >&2
    exit 1
  fi
done
echo "check_exports: $(printf '%s\n' "$symbols" | wc -l) exported symbols, none internal"
