# Documents the reader refuses, each with its framed message naming the file
# and the line: a document type declaration, a comment inside the root, an
# attribute value in single quotes, a document that ends inside an element,
# two root elements, 39 levels of nesting and an empty file.
binary=$1
for document in doctype comment-inside single-quotes unfinished two-roots too-deep empty; do
    ( exec -a quorvex "$binary" -q -c $document.xml none.xml ) 2>&1
    echo "status $?"
done
