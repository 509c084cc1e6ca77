// The term trie: a ternary trie with one level per input of the table's variable
// list; a root-to-leaf path spells one product term (zero: the variable occurs
// complemented, dash: absent, one: uncomplemented), so the trie is a set of terms.
// The normal-form engine (normalize.h) keeps one per call.
#pragma once

// Adds the term held by the assignment marks of `program.currentList` to the trie of
// the running engine call. The term walk calls it for every satisfied term when the
// output mode is Engine.
void insertMarkedTerm();
