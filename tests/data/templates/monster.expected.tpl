Group
{
	name = "All Groups"
	type = "list"

	Variable
	{
		name = "Class"
		class = "static"
		type = "string"
		description = ""
		value = ""
		defaultValue = "Monster"
	}

	Group
	{
		name = "Header"
		type = "system"

		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What it is"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Stats"
		type = "list"

		Variable
		{
			name = "health"
			class = "variable"
			type = "int"
			description = "Hit points"
			value = ""
			defaultValue = "100"
		}

		Variable
		{
			name = "resist"
			class = "array"
			type = "real"
			description = "Resistances"
			value = ""
			defaultValue = "0.5;1"
		}

	}

}

fileNameHistoryEntry
{
	"Templates\OldMonster.tpl"
}
