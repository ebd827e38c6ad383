/* Workload for the gcov-import benchmark: drives SQLite's amalgamation
 * through tables, indexes, joins, aggregates, triggers, views, common table
 * expressions, transactions with rollback, and a few deliberate errors. */
#include <stdio.h>
#include <stdlib.h>

#include "sqlite3.h"

static int rows_seen;

static int count_row(void *arg, int n, char **values, char **names)
{
    (void)arg; (void)n; (void)values; (void)names;
    ++rows_seen;
    return 0;
}

static void run(sqlite3 *db, const char *sql, int may_fail)
{
    char *error = NULL;
    if (sqlite3_exec(db, sql, count_row, NULL, &error) != SQLITE_OK) {
        if (!may_fail) {
            fprintf(stderr, "workload: %s\n  in: %s\n", error, sql);
            exit(1);
        }
        sqlite3_free(error);
    }
}

static void fill(sqlite3 *db, int n)
{
    sqlite3_stmt *insert;
    run(db, "BEGIN", 0);
    if (sqlite3_prepare_v2(db, "INSERT INTO item(name, price, kind) VALUES (?1, ?2, ?3)", -1, &insert, NULL))
        exit(1);
    for (int i = 0; i < n; ++i) {
        char name[32];
        snprintf(name, sizeof name, "item-%05d", (i * 7919) % n);
        sqlite3_bind_text(insert, 1, name, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 2, (i % 97) * 1.25);
        sqlite3_bind_int(insert, 3, i % 13);
        if (sqlite3_step(insert) != SQLITE_DONE) exit(1);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    run(db, "COMMIT", 0);
}

int main(int argc, char **argv)
{
    sqlite3 *db;
    int n = argc > 1 ? atoi(argv[1]) : 20000;
    const char *path = argc > 2 ? argv[2] : ":memory:";
    if (sqlite3_open(path, &db) != SQLITE_OK) return 1;
    run(db, "PRAGMA journal_mode=WAL", 1);
    run(db, "CREATE TABLE item(id INTEGER PRIMARY KEY, name TEXT, price REAL, kind INT)", 0);
    run(db, "CREATE TABLE kind(id INTEGER PRIMARY KEY, label TEXT UNIQUE)", 0);
    run(db, "CREATE TABLE log(at INTEGER, what TEXT)", 0);
    run(db, "CREATE TRIGGER item_log AFTER UPDATE ON item BEGIN "
            "INSERT INTO log VALUES (new.id, 'price ' || new.price); END", 0);
    run(db, "WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 12) "
            "INSERT INTO kind SELECT i, 'kind-' || i FROM k", 0);
    fill(db, n);
    run(db, "CREATE INDEX item_name ON item(name)", 0);
    run(db, "CREATE INDEX item_kind_price ON item(kind, price DESC)", 0);
    run(db, "CREATE VIEW expensive AS SELECT * FROM item WHERE price > 100", 0);
    run(db, "SELECT k.label, count(*), avg(i.price), max(i.name) FROM item i JOIN kind k ON k.id = i.kind "
            "GROUP BY k.label HAVING count(*) > 10 ORDER BY 3 DESC", 0);
    run(db, "SELECT name FROM item WHERE name LIKE 'item-01%' ORDER BY name LIMIT 50 OFFSET 5", 0);
    run(db, "SELECT kind, price, row_number() OVER (PARTITION BY kind ORDER BY price) FROM item WHERE id < 2000", 0);
    run(db, "SELECT * FROM expensive WHERE kind IN (SELECT id FROM kind WHERE label GLOB '*1*')", 0);
    run(db, "SELECT group_concat(label, ',') FROM kind", 0);
    run(db, "SELECT substr(name, 6), upper(name), length(name), printf('%08.2f', price), "
            "round(price * 1.1, 2), abs(-kind), coalesce(NULL, kind), hex(name) FROM item WHERE id % 500 = 0", 0);
    run(db, "SELECT json_object('id', id, 'name', name), json_array(price, kind) FROM item WHERE id % 1000 = 0", 0);
    run(db, "UPDATE item SET price = price * 1.05 WHERE kind = 3", 0);
    run(db, "DELETE FROM item WHERE id % 7 = 0", 0);
    run(db, "BEGIN; UPDATE item SET name = 'gone'; ROLLBACK", 0);
    run(db, "SAVEPOINT a; DELETE FROM log; ROLLBACK TO a; RELEASE a", 0);
    run(db, "SELECT * FROM no_such_table", 1);
    run(db, "INSERT INTO kind VALUES (1, 'dup')", 1);
    run(db, "SELECT count(*) FROM item a, item b WHERE a.id = b.id + 1 AND a.kind = b.kind", 0);
    run(db, "CREATE TEMP TABLE t AS SELECT DISTINCT kind, typeof(price) FROM item UNION SELECT 99, 'x' "
            "EXCEPT SELECT 98, 'y' INTERSECT SELECT kind, 'real' FROM item", 0);
    run(db, "ANALYZE; PRAGMA integrity_check; VACUUM", 0);
    run(db, "EXPLAIN QUERY PLAN SELECT * FROM item WHERE kind = 2 AND price < 10", 0);
    sqlite3_close(db);
    printf("%d rows seen\n", rows_seen);
    return 0;
}
